#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian package that scripts/build-deb.sh left in FOLDER: lintian
# finds no error, apt could install it here (simulated only), and installed by
# dpkg into a throwaway root in FOLDER (never this system's own), it holds what
# it should, zaptrove-find runs, the desktop entry and the metainfo are valid,
# and once removed nothing of it is left in that root.
# Usage: test-deb.sh FOLDER
set -euo pipefail

folder=$(realpath "$1")
debs=("$folder"/zaptrove_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "test-deb.sh: expected one zaptrove_*.deb in $folder" >&2
  exit 1
fi
deb=${debs[0]}
version=$(dpkg-deb --field "$deb" Version)
fail() {
  echo "test-deb.sh: $*" >&2
  exit 1
}

echo "== lintian $(basename "$deb")"
lintian --fail-on error "$deb"

echo "== apt-get install --simulate"
apt-get install --simulate -q "$deb" >"$folder/apt-simulate.log" ||
  fail "apt cannot install the package (see $folder/apt-simulate.log)"

root="$folder/root"
rm -rf "$root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# Its dependencies are this system's, not the empty root's.
dpkg_root=(dpkg --root="$root" --log="$folder/dpkg.log" --force-depends)

echo "== dpkg --root $root --install"
"${dpkg_root[@]}" --install "$deb" >"$folder/dpkg-install.log" 2>&1 ||
  fail "dpkg could not install the package (see $folder/dpkg-install.log)"
for file in usr/bin/zaptrove usr/bin/zaptrove-find usr/share/man/man1/zaptrove.1.gz \
  usr/share/man/man1/zaptrove-find.1.gz usr/share/applications/org.zaptrove.Zaptrove.desktop \
  usr/share/metainfo/org.zaptrove.Zaptrove.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/zaptrove.svg \
  usr/share/icons/hicolor/256x256/apps/zaptrove.png \
  usr/share/doc/zaptrove/copyright; do
  [ -f "$root/$file" ] || fail "the package does not install /$file"
done
if ldd "$root/usr/bin/zaptrove" | grep 'not found'; then
  fail "zaptrove needs libraries that are not here"
fi
installed_version=$("$root/usr/bin/zaptrove-find" --version)
echo "$installed_version"
grep -qF "$version" <<<"$installed_version" ||
  fail "zaptrove-find --version does not name the package's version $version"
desktop-file-validate "$root/usr/share/applications/org.zaptrove.Zaptrove.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.zaptrove.Zaptrove.metainfo.xml"

echo "== dpkg --root $root --remove"
"${dpkg_root[@]}" --remove zaptrove
left=$(find "$root" -mindepth 1 -not -path "$root/var" -not -path "$root/var/lib" \
  -not -path "$root/var/lib/dpkg" -not -path "$root/var/lib/dpkg/*")
[ -z "$left" ] || fail "removing the package left: $left"
echo "test-deb.sh: the package installs, runs and removes cleanly"
