#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end on Windows' own toolkit: the real zaptrove.exe under Wine, in a
# fresh Wine prefix, in a virtual X display with a window manager and a
# notification area. Types a search, copies an address with "+" (read back from
# the X clipboard Wine fills), opens it with Enter through the shell (a scheme
# of the test's own, registered in the prefix, whose handler records the
# address), minimises into the notification area with "\mt" and comes back
# with a click on the icon there, opens Preferences with "\p", ends with
# Escape and checks the settings saved in Wine's registry. Leaves screenshots of the expanded window and of Preferences.
# Exits 77 (skipped) when a display tool or Wine is missing.
# Usage: run_e2e_windows.sh ZAPTROVE_EXE SCREENSHOT_FOLDER
set -euo pipefail

app=$(realpath "$1")
shots=$2
here=$(dirname "$(realpath "$0")")
wine_run=$here/../../scripts/wine-run.sh
for tool in Xvfb openbox trayer xdotool xprop xwininfo xclip import; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
[ -x "$wineserver" ] || { echo "SKIP: Wine is not installed"; exit 77; }
pids=()
cleanup() {
  "$wineserver" --kill 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "${log:-}" ] && sed 's/^/  log: /' "$log" >&2
  exit 1
}
source "$here/window_driving.sh"
typing_delay=30
shown() { xdotool search --onlyvisible --name "$1"; }

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
wait_for test -s "$work/display" || fail "no display"
export DISPLAY=:$(head -n1 "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || fail "no window manager"
trayer --edge bottom --align right --widthtype pixel --width 64 --expand false --height 24 \
  --transparent false \
  >/dev/null 2>&1 &
pids+=($!)
# trayer's panel, which holds the icons docked in it; searched for before Wine
# makes and drops windows, which make a search fail.
find_panel() { panel=$(xdotool search --classname '^panel$' | head -n1) && [ -n "$panel" ]; }
wait_for find_panel || fail "no notification area"

wine() { "$wine_run" --with-display "$@"; }
echo "Making the Wine prefix $WINEPREFIX"
wine wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"

# The bookmarks, in the Favorites folder of the prefix's user.
favorites=$(ls -d "$WINEPREFIX"/drive_c/users/*/Favorites | grep -v /Public/ | head -n1)
[ -d "$favorites" ] || fail "no Favorites folder in the prefix"
mkdir -p "$favorites/News"
printf '[InternetShortcut]\r\nURL=zaptrovetest:world/news\r\n' >"$favorites/News/World News.url"
printf '[InternetShortcut]\r\nURL=zaptrovetest:weather\r\n' >"$favorites/Weather.url"
# The scheme's handler writes the address it gets to a file.
opened=$work/opened
opened_windows=$(wine winepath -w "$opened" 2>/dev/null)
classes='HKCR\zaptrovetest'
wine reg add "$classes" /v "URL Protocol" /d "" /f >/dev/null 2>&1
wine reg add "$classes\\shell\\open\\command" /ve /d "cmd.exe /c echo %1>>\"$opened_windows\"" /f \
  >/dev/null 2>&1 || fail "the scheme could not be registered"

log="$(dirname "$app")/ztvdebug.log"
rm -f "$log"
start_app 60 "under Wine" sh -c 'exec wine "$0" >"$1" 2>&1' "$app" "$work/zaptrove.out"

type_line '\enable_debug'
wait_for test -f "$log" || fail "no diagnostic log"
search 'NEWS'
mkdir -p "$shots"
import -frame -window "$window" "$shots/zaptrove-windows-expanded.png" 2>/dev/null ||
  echo "no screenshot taken"

# "+" copies the address, which Wine hands on to the X clipboard.
xdotool key plus
wait_for sh -c '[ "$(xclip -o -selection clipboard)" = zaptrovetest:world/news ]' ||
  fail "copied: $(xclip -o -selection clipboard 2>&1)"
# Enter opens it through the shell and closes the list.
xdotool key Return
wait_for test -s "$opened" || fail "nothing opened"
[ "$(tr -d '\r' <"$opened")" = zaptrovetest:world/news ] || fail "opened: $(cat "$opened")"

# Single clicks and minimising into the notification area, stored. Minimised,
# the window leaves the screen for an icon in trayer, which Wine's desktop
# docks there; a click on it brings the window back and takes the icon away.
activate "$window" # the shell may have taken the focus
type_line '\cs'
type_line '\mt'
grep -q 'Input : \\cs' "$log" || fail "single clicks not set"
tray_icon() { xwininfo -tree -id "$panel" | awk '/explorer\.exe/ { print $1; exit }'; }
icon_docked() {
  local icon
  icon=$(tray_icon)
  [ -n "$icon" ] && xwininfo -id "$icon" | grep -q IsViewable
}
icon_gone() { [ -z "$(tray_icon)" ]; }
xdotool windowminimize "$window"
wait_for sh -c "! xdotool search --onlyvisible --name '^Zaptrove v4\.3\$'" ||
  fail "the minimised window stayed on screen"
wait_for icon_docked || fail "no icon in the notification area"
eval "$(xdotool getwindowgeometry --shell "$(tray_icon)")"
xdotool mousemove --window "$(tray_icon)" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
wait_for shown '^Zaptrove v4\.3$' || fail "a click on the icon did not bring the window back"
wait_for icon_gone || fail "the icon stayed in the notification area"
activate "$window"

type_line '\p'
preferences=$(timeout 20 xdotool search --sync --onlyvisible --name '^Preferences$' | head -n1)
[ -n "$preferences" ] || fail "no Preferences"
sleep 0.5
import -frame -window "$preferences" "$shots/zaptrove-windows-preferences.png" 2>/dev/null ||
  echo "no screenshot taken"
xdotool key Escape # closes Preferences
wait_for sh -c "! xdotool search --onlyvisible --name '^Preferences\$'" || fail "Preferences stayed"
activate "$window"

search 'weather'
xdotool key Escape # closes the list
sleep 0.5
xdotool key Escape # ends the program
wait_for sh -c "! kill -0 $app_pid" || fail "the program did not end"
wait "$app_pid" || fail "exit status $?"

grep -q 'Launching: zaptrovetest:world/news' "$log" || fail "no launch line in the log"
tail -n1 "$log" | grep -q '^- .*Ending ZTV\[v4\.3\] debug session' || fail "no closing line"
settings=$(wine reg query 'HKCU\Software\Zaptrove' 2>/dev/null | tr -d '\r')
grep -Eq 'Present +REG_DWORD +0x1$' <<<"$settings" || fail "settings not saved: $settings"
grep -Eq 'Tray +REG_DWORD +0x7$' <<<"$settings" || fail "the tray setting not saved: $settings"
echo "end-to-end run under Wine passed"
