#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes SQLite's one-file source (sqlite3.c and sqlite3.h) for the Windows cross
# build from Debian's sqlite3 source package, into FOLDER, which keeps it for the
# next runs. Needs root the first time, to let apt fetch Debian's sources.
# Usage: sqlite-amalgamation.sh FOLDER
set -euo pipefail

out=$(realpath -m "$1")
[ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && exit 0

if ! apt-cache showsrc sqlite3 2>/dev/null | grep -q '^Package: sqlite3'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Debian's source packages are not enabled: add deb-src lines for the archive,"
    echo "run 'sudo apt-get update', and run this again."
    exit 1
  fi
  echo "Changing /etc/apt: adding deb-src lines for Debian's archive in"
  echo "/etc/apt/sources.list.d/zaptrove-deb-src.sources (and .list beside a sources.list),"
  echo "so that apt can fetch SQLite's source package; remove them to undo this."
  source_lists=$(grep -l 'debian' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  for list in $source_lists; do
    sed -n 's/^Types: deb$/Types: deb-src/; /^Types: deb-src$/,/^$/p' "$list"
    echo
  done >/tmp/zaptrove-deb-src.sources
  mv /tmp/zaptrove-deb-src.sources /etc/apt/sources.list.d/zaptrove-deb-src.sources
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list \
      >/etc/apt/sources.list.d/zaptrove-deb-src.list
  fi
  apt-get update -q
fi

work="$out/work"
rm -rf "$work"
mkdir -p "$work/build"
cd "$work"
apt-get source --download-only -q sqlite3
tar -xJf sqlite3_*.orig.tar.xz
source_tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*')
cd "$work/build"
"$source_tree/configure" --quiet >configure.log 2>&1
make --quiet sqlite3.c >make.log 2>&1
cp sqlite3.c sqlite3.h "$out/"
rm -rf "$work"
echo "SQLite's one-file source is in $out"
