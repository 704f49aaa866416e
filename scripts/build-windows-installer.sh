#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Packs the Windows release programs (from `make windows`) into the setup
# Zaptrove-Setup-VERSION.exe (makensis, app/windows/zaptrove.nsi) and the
# portable Zaptrove-VERSION-win64.zip, in OUT. Every packed file is dated to the
# last commit and the zip's members are sorted, so two builds of a commit give
# the same files.
# Usage: build-windows-installer.sh RELEASE_BUILD OUT
set -euo pipefail

release=$(realpath "$1")
out=$(realpath -m "$2")
cd "$(dirname "$0")/.."

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/CMakeCache.txt")
version_quad=$version
while [ "$(tr -cd . <<<"$version_quad" | wc -c)" -lt 3 ]; do version_quad+=.0; done
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)

# The files of both packages, in the folder the zip unpacks to.
programs="$out/Zaptrove-$version"
rm -rf "$out"
mkdir -p "$programs"
cp "$release/zaptrove.exe" "$release/zaptrove-find.exe" "$programs/"
cp LICENSE "$programs/LICENSE.txt"
# The programs carry the MinGW-w64 and GCC runtimes, whose
# licences ask for their notices beside them: Debian's copyright files of the
# packages they come from.
for part in "MinGW-w64 runtime:mingw-w64-x86-64-dev" \
  "GCC runtime libraries:gcc-mingw-w64-x86-64-posix-runtime"; do
  printf '==== %s (Debian package %s)\n\n' "${part%%:*}" "${part#*:}"
  cat "/usr/share/doc/${part#*:}/copyright"
  printf '\n'
done >"$programs/THIRD-PARTY-LICENCES.txt"
chmod 0755 "$programs" "$programs"/*.exe
chmod 0644 "$programs"/*.txt
touch --date="@$SOURCE_DATE_EPOCH" "$programs" "$programs"/*

setup="$out/Zaptrove-Setup-$version.exe"
makensis -V2 -DVERSION="$version" -DVERSION_QUAD="$version_quad" -DPROGRAMS="$programs" \
  -DICON="$release/zaptrove.ico" -DOUTFILE="$setup" app/windows/zaptrove.nsi

# zip stores local times: in UTC they are the same on every machine. -X leaves
# out the owner and the extra time fields.
zip_file="$out/Zaptrove-$version-win64.zip"
(cd "$out" && find "Zaptrove-$version" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$zip_file")
ls -l "$setup" "$zip_file"
