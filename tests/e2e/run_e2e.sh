#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end: the real zaptrove in a virtual X display with a window manager.
# Types a search, opens a result through the desktop's real "open" action (a
# stub browser records the address), closes the list and the program with
# Escape, and checks the diagnostic log and the saved settings.
# Usage: run_e2e.sh ZAPTROVE_EXECUTABLE SCREENSHOT_FOLDER
set -euo pipefail

app=$1
shots=$2
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$work/home
export ZAPTROVE_REGISTRY=$work/registry.reg
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
mkdir -p "$HOME/Favorites/News"
printf '[InternetShortcut]\r\nURL=https://world.example.org/news\r\n' >"$HOME/Favorites/News/World News.url"
printf '[InternetShortcut]\r\nURL=https://weather.example.org/\r\n' >"$HOME/Favorites/Weather.url"
cat >"$work/browser" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$@" >>"$work/opened"
SCRIPT
chmod +x "$work/browser"
export BROWSER=$work/browser
# An installed browser registered for web addresses would take precedence over
# $BROWSER; the stub is made the user's handler for them.
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cat >"$XDG_DATA_HOME/applications/zaptrove-test-browser.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Test browser
Exec=$work/browser %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;
DESKTOP
printf '[Default Applications]\nx-scheme-handler/http=%s\nx-scheme-handler/https=%s\n' \
  zaptrove-test-browser.desktop zaptrove-test-browser.desktop >"$XDG_CONFIG_HOME/mimeapps.list"

log="$(dirname "$app")/ztvdebug.log"
rm -f "$log"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

unset QT_QPA_PLATFORM
"$app" &
app_pid=$!
pids+=($app_pid)
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zaptrove v4\.3$' | head -n1)
[ -n "$window" ] || fail "no window"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

type_line() { xdotool type --delay 20 "$1"; xdotool key Return; sleep 0.5; }
type_line '\enable_debug'
type_line 'NEWS'
mkdir -p "$shots"
import -frame -window "$window" "$shots/zaptrove-expanded.png" 2>/dev/null ||
  echo "no screenshot taken"

xdotool key minus # opens the selected row and keeps the list
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
[ "$(cat "$work/opened" 2>/dev/null)" = "https://world.example.org/news" ] ||
  fail "opened: $(cat "$work/opened" 2>/dev/null)"

xdotool key Escape # closes the list
sleep 0.5
xdotool key Escape # ends the program
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end"
wait "$app_pid" || fail "exit status $?"

grep -q '^\$ \[[0-9/]* - [0-9:]*\] Input : NEWS'$'\r''$' "$log" || fail "no input line in the log"
grep -q 'Launching: https://world.example.org/news' "$log" || fail "no launch line in the log"
tail -n1 "$log" | grep -q '^- .*Ending ZTV\[v4\.3\] debug session' || fail "no closing line"
grep -q '^"Present"=dword:00000001$' "$ZAPTROVE_REGISTRY" || fail "settings not saved"
grep -q '^"Height"=dword:' "$ZAPTROVE_REGISTRY" || fail "no height saved"
[ "$(grep -c '^"' "$ZAPTROVE_REGISTRY")" -eq 22 ] || fail "not all 22 values saved"
echo "end-to-end run passed"
