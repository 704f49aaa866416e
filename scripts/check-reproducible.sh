#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the .deb, the Windows setup and the zip twice, each time in a fresh
# clone of the commit checked out, in folders of different names (so a build
# folder's path that slipped into a file shows), and checks that both builds
# give the same bytes.
# Usage: check-reproducible.sh WORK_FOLDER [JOBS]
set -euo pipefail

work=$(realpath -m "$1")
jobs=${2:-2}
top=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$top" rev-parse HEAD)
rm -rf "$work"
mkdir -p "$work"

for name in first second-build; do
  tree="$work/$name"
  git clone --quiet --no-local --no-checkout "$top" "$tree"
  git -C "$tree" checkout --quiet "$commit"
  # SQLite's one-file source, made from Debian's source package, is the same
  # for both: made once, then copied.
  if [ -d "$top/build-windows/sqlite" ]; then
    mkdir -p "$tree/build-windows"
    cp -r "$top/build-windows/sqlite" "$tree/build-windows/"
  fi
  make -C "$tree" deb windows-installer JOBS="$jobs"
done

status=0
for file in $(cd "$work/first" && ls build-deb/*.deb build-windows-installer/*.exe \
  build-windows-installer/*.zip build-windows-release/zaptrove.exe \
  build-windows-release/zaptrove-find.exe); do
  if cmp "$work/first/$file" "$work/second-build/$file"; then
    echo "same: $file"
  else
    echo "DIFFERENT: $file"
    status=1
  fi
done
exit $status
