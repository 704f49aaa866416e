#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian binary package with dpkg-buildpackage from a copy of the
# files git tracks (so nothing of a developer's build folders gets in), made in
# OUT; the package lands in OUT beside the copy. Every file in it is dated to
# the last commit, so two builds of a commit give the same package.
# Usage: build-deb.sh OUT [JOBS]
set -euo pipefail

out=$(realpath -m "$1")
jobs=${2:-2}
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(zaptrove VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -S Version)
if [ "$version" != "$changelog_version" ]; then
  echo "build-deb.sh: debian/changelog's last entry is $changelog_version but the project is" \
    "$version: add an entry for $version at its top" >&2
  exit 1
fi

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
source_copy="$out/zaptrove-$version"
rm -rf "$out"
mkdir -p "$source_copy"
# Tracked files deleted in the work tree are left out.
git ls-files -z | while IFS= read -r -d '' file; do
  if [ -e "$file" ] || [ -L "$file" ]; then printf '%s\0' "$file"; fi
done | tar --create --null --files-from=- | tar --extract --directory="$source_copy"

cd "$source_copy"
DEB_BUILD_OPTIONS="parallel=$jobs nocheck" dpkg-buildpackage -us -uc -b
ls -l "$out"/*.deb
