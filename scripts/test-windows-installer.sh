#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the Windows setup that scripts/build-windows-installer.sh left in FOLDER
# under Wine, in a throwaway prefix made there: a silent install puts the
# programs, the Start-menu entry and the "Apps & features" entry in place and
# the installed zaptrove-find.exe runs; a silent uninstall removes them all but
# keeps the user's settings. The portable zip's zaptrove-find.exe runs too.
# Usage: test-windows-installer.sh FOLDER
set -euo pipefail

folder=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
setups=("$folder"/Zaptrove-Setup-*.exe)
if [ ${#setups[@]} -ne 1 ] || [ ! -f "${setups[0]}" ]; then
  echo "test-windows-installer.sh: expected one Zaptrove-Setup-*.exe in $folder" >&2
  exit 1
fi
setup=${setups[0]}
version=$(basename "$setup" .exe)
version=${version#Zaptrove-Setup-}
fail() {
  echo "test-windows-installer.sh: $*" >&2
  exit 1
}

export WINEPREFIX="$folder/wineprefix"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
wine() { "$here/wine-run.sh" "$@"; }
"$wineserver" --kill 2>/dev/null || true
rm -rf "$WINEPREFIX"
trap '"$wineserver" --kill 2>/dev/null || true' EXIT
echo "== Making the Wine prefix $WINEPREFIX"
wine wineboot --init >"$folder/wineboot.log" 2>&1
"$wineserver" --wait

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zaptrove'
settings_key='HKCU\Software\Zaptrove'
user_folder=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -not -name Public | head -n 1)
programs="$user_folder/AppData/Local/Programs/Zaptrove"
shortcut="$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zaptrove.lnk"

echo "== $(basename "$setup") /S"
wine "$setup" /S
"$wineserver" --wait
for file in zaptrove.exe zaptrove-find.exe uninstall.exe; do
  [ -f "$programs/$file" ] || fail "the setup did not install $programs/$file"
done
[ -f "$shortcut" ] || fail "the setup made no Start-menu entry $shortcut"
wine reg query "$uninstall_key" /v UninstallString >/dev/null ||
  fail "the setup made no entry $uninstall_key"
installed_version=$(wine "$programs/zaptrove-find.exe" --version | tr -d '\r')
echo "$installed_version"
grep -qF "$version" <<<"$installed_version" ||
  fail "zaptrove-find.exe --version does not name the setup's version $version"

# A setting the program would have stored, which a plain uninstall keeps.
wine reg add "$settings_key" /v Words /t REG_SZ /d 1 /f >/dev/null

echo "== uninstall.exe /S"
# The uninstaller runs from a copy in the temporary folder so that it can remove
# itself; the wait is for that copy.
wine "$programs/uninstall.exe" /S
"$wineserver" --wait
[ ! -e "$programs" ] || fail "the uninstaller left $programs: $(ls -A "$programs")"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
if wine reg query "$uninstall_key" >/dev/null 2>&1; then
  fail "the uninstaller left $uninstall_key"
fi
wine reg query "$settings_key" /v Words >/dev/null || fail "the uninstaller removed the settings"

echo "== Zaptrove-$version-win64.zip"
rm -rf "$folder/portable"
unzip -q "$folder/Zaptrove-$version-win64.zip" -d "$folder/portable"
portable_version=$(wine "$folder/portable/Zaptrove-$version/zaptrove-find.exe" --version | tr -d '\r')
grep -qF "$version" <<<"$portable_version" ||
  fail "the zip's zaptrove-find.exe --version does not name the version $version"
[ -f "$folder/portable/Zaptrove-$version/zaptrove.exe" ] || fail "the zip holds no zaptrove.exe"
echo "test-windows-installer.sh: the setup installs, runs and uninstalls cleanly; the zip's program runs"
