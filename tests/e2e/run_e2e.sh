#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end: the real zaptrove in a virtual X display with a window manager.
# Types a search, opens a result through the desktop's real "open" action
# (xdg-open hands it to a handler of the test's own, which records the address),
# closes the list and the program with Escape, and checks the diagnostic log and
# the saved settings. Then, with the words-in-any-order, accent and
# as-you-type settings on, checks that the list narrows with each key, that
# both find what they did not before, and that a second start brings the first
# window back and ends. With the real browser profiles of ../shared/realworld
# at hand, the first start also finds a Firefox and a Chromium bookmark with no
# settings stored, opens each in its own browser and profile (stand-in
# browsers on PATH record how they were started), one privately with
# Shift+Enter, and photographs the More dialog. With the hotkey stored, a
# program with other settings is refused it, and from that program's window
# the key shows and hides the first one.
# Exits 77 (skipped) when a display tool is missing.
# Usage: run_e2e.sh ZAPTROVE_EXECUTABLE SCREENSHOT_FOLDER [REALWORLD_FOLDER]
set -euo pipefail

app=$1
shots=$2
browsers=${3:-}/browsers
for tool in Xvfb openbox xdotool xprop xdg-open; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/window_driving.sh"

export HOME=$work/home
export ZAPTROVE_REGISTRY=$work/registry.reg
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
export XDG_RUNTIME_DIR=$work/run
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
# xdg-open's own generic lookup, not a desktop's, so that the handler below is
# the one it finds whatever browsers are installed.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID BROWSER
mkdir -p "$HOME/Favorites/News"
printf '[InternetShortcut]\r\nURL=https://world.example.org/news\r\n' >"$HOME/Favorites/News/World News.url"
printf '[InternetShortcut]\r\nURL=https://weather.example.org/\r\n' >"$HOME/Favorites/Weather.url"
printf '[InternetShortcut]\r\nURL=https://gazette.example.org/\r\n' >"$HOME/Favorites/Linux Gazette.url"
printf '[InternetShortcut]\r\nURL=https://flore.example.org/\r\n' >"$HOME/Favorites/Café de Flore.url"
cat >"$work/recorder" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$@" >>"$work/opened"
SCRIPT
chmod +x "$work/recorder"
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cat >"$XDG_DATA_HOME/applications/zaptrove-test-recorder.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Address recorder
Exec=$work/recorder %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;
NoDisplay=true
ENTRY
cat >"$XDG_CONFIG_HOME/mimeapps.list" <<LIST
[Default Applications]
x-scheme-handler/http=zaptrove-test-recorder.desktop
x-scheme-handler/https=zaptrove-test-recorder.desktop
LIST
# Stand-in browsers, each recording its name and arguments.
mkdir -p "$work/bin"
for browser in firefox chromium; do
  printf '#!/bin/sh\nprintf "%%s\\n" %s "$@" >>"%s"\n' "$browser" "$work/started" >"$work/bin/$browser"
  chmod +x "$work/bin/$browser"
done
with_browsers=false
if [ -f "$browsers/firefox-esr-profile.tar.xz" ] && [ -f "$browsers/chromium-profile.tar.xz" ]; then
  tar -xJf "$browsers/firefox-esr-profile.tar.xz" -C "$work"
  tar -xJf "$browsers/chromium-profile.tar.xz" -C "$work"
  with_browsers=true
else
  echo "no real browser profiles at $browsers: their part is left out"
fi

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

# The program finds the stand-in browsers first on PATH and no desktop entry
# of an installed browser (the window manager keeps the system's data folders).
export PATH=$work/bin:$PATH XDG_DATA_DIRS=$work/no-data-dirs
unset QT_QPA_PLATFORM
start_app 20 "at the first run" "$app"
# The first run stores where the window opened, not the screen's corner.
grep -q '^"Left"=dword:00000000$' "$ZAPTROVE_REGISTRY" && fail "the first run stored the corner"
# A command's change is stored at once, the window's place when SIGTERM comes
# (as at the end of a session), and both are there at the next start.
first_left=$(grep '^"Left"=' "$ZAPTROVE_REGISTRY")
type_line '\tr'
xdotool windowmove --sync "$window" 40 30
sleep 0.3
kill -TERM "$app_pid"
wait "$app_pid" || fail "exit status $? after SIGTERM"
grep -q '^"Duplicates"=dword:00000010$' "$ZAPTROVE_REGISTRY" || fail "the command's change was lost"
[ "$(grep '^"Left"=' "$ZAPTROVE_REGISTRY")" != "$first_left" ] || fail "the place was not stored"
start_app 20 "after SIGTERM" "$app"
type_line '\tk'

type_line '\enable_debug'
search 'NEWS'
mkdir -p "$shots"
import -frame -window "$window" "$shots/zaptrove-expanded.png" 2>/dev/null ||
  echo "no screenshot taken"

# Opens the selected row and keeps the list; the recorder must receive $1.
open_kept() {
  : >"$work/opened"
  xdotool key minus
  for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
  [ "$(cat "$work/opened" 2>/dev/null)" = "$1" ] || fail "opened: $(cat "$work/opened" 2>/dev/null)"
}
open_kept https://world.example.org/news
xdotool key Escape # closes the list
sleep 0.5

if $with_browsers; then
  # Enter, or Shift+Enter for a private window, starts the bookmark's browser
  # with its profile; the stand-in must record exactly $2.
  started_with() {
    : >"$work/started"
    xdotool key "$1"
    for _ in $(seq 50); do [ "$(cat "$work/started")" = "$2" ] && return; sleep 0.1; done
    fail "started: $(cat "$work/started")"
  }
  search 'zt alpha news' # Firefox's place, in the profile its install section names
  started_with Return "$(printf '%s\n' firefox --profile \
    "$XDG_CONFIG_HOME/mozilla/firefox/ec5376ix.default-esr" --new-tab https://alpha.zt.example/news)"
  search 'zt work profile' # Chromium's second profile
  started_with Return "$(printf '%s\n' chromium '--profile-directory=Profile 1' https://work.zt.example/)"
  search 'zt work profile'
  started_with shift+Return \
    "$(printf '%s\n' chromium '--profile-directory=Profile 1' --incognito https://work.zt.example/)"
  sleep 0.5
  type_line '\p'
  xdotool key alt+m
  more=$(timeout 20 xdotool search --sync --onlyvisible --name '^More Preferences$' | head -n1)
  [ -n "$more" ] || fail "no More dialog"
  sleep 0.5
  import -frame -window "$more" "$shots/zaptrove-more-browsers.png" 2>/dev/null ||
    echo "no screenshot taken"
  xdotool key Escape # closes the More dialog
  sleep 0.3
  xdotool key Escape # closes Preferences
  sleep 0.5
fi
# The searches below count their lists: the profiles go before a search finds them.
rm -rf "$XDG_CONFIG_HOME/mozilla" "$XDG_CONFIG_HOME/chromium"
type_line 'gazette linux' # neither is found with the settings off
type_line 'cafe'
[ "$(grep -c 'No matches found!' "$log")" -eq 2 ] || fail "found with the settings off: $(cat "$log")"
xdotool key Escape # ends the program
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end"
wait "$app_pid" || fail "exit status $?"

grep -q '^\$ \[[0-9/]* - [0-9:]*\] Input : NEWS'$'\r''$' "$log" || fail "no input line in the log"
grep -q 'Launching: https://world.example.org/news' "$log" || fail "no launch line in the log"
tail -n1 "$log" | grep -q '^- .*Ending ZTV\[v4\.3\] debug session' || fail "no closing line"
grep -q '^"Present"=dword:00000001$' "$ZAPTROVE_REGISTRY" || fail "settings not saved"
grep -q '^"Height"=dword:' "$ZAPTROVE_REGISTRY" || fail "no height saved"
[ "$(grep -c '^"' "$ZAPTROVE_REGISTRY")" -eq 33 ] || fail "not all 33 values saved"
grep -q '^"DoFirefox"=dword:0000000d$' "$ZAPTROVE_REGISTRY" || fail "Firefox not switched on"

# The same searches with the settings on, as a later version stores them.
sed -i 's/^"Present"=dword:00000001$/&\n"Words"=dword:00000014\n"Accents"=dword:00000016\n"Instant"=dword:00000018\n"HotKey"="Ctrl+Alt+Z"/' \
  "$ZAPTROVE_REGISTRY"
start_app 20 "with the settings on" "$app"
type_line '\enable_debug'
: >"$log"
xdotool type --delay 300 'we' # the list follows each key
sleep 0.5
[ "$(grep -o 'Building combo for [0-9]*' "$log" | tr '\n' ,)" = \
  "Building combo for 2,Building combo for 1," ] || fail "as you type: $(cat "$log")"
xdotool key Escape # clears the input
sleep 0.3
opened_with() {
  xdotool type --delay 50 "$1"
  sleep 0.5
  xdotool key Return # opens the first row the list shows
  for _ in $(seq 50); do [ "$(tail -n1 "$work/opened")" = "$2" ] && return; sleep 0.1; done
  fail "'$1' opened $(tail -n1 "$work/opened")"
}
opened_with 'gazette linux' https://gazette.example.org/
opened_with 'cafe' https://flore.example.org/

# The Launcher page, with the hotkey stored.
xdotool key ctrl+a BackSpace
type_line '\p'
xdotool key alt+m
more=$(timeout 20 xdotool search --sync --onlyvisible --name '^More Preferences$' | head -n1)
[ -n "$more" ] || fail "no More dialog with the settings on"
xdotool mousemove --window "$more" 40 29 click 1 # the page list's second row
sleep 0.5
import -frame -window "$more" "$shots/zaptrove-more-launcher.png" 2>/dev/null ||
  echo "no screenshot taken"
xdotool key Escape
sleep 0.3
xdotool key Escape
sleep 0.5

# The hotkey, held by this window: a program with other settings cannot have it
# too, and says so in its log; from that program's window the key brings this
# one to the front, hides it when it is in front, and brings it back with Num
# Lock on.
active_is() {
  for _ in $(seq 50); do [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}
cp "$ZAPTROVE_REGISTRY" "$work/other.reg"
ZAPTROVE_REGISTRY=$work/other.reg "$app" &
other_pid=$!
pids+=($other_pid)
other=
for _ in $(seq 100); do
  other=$(xdotool search --onlyvisible --name '^Zaptrove v4\.3$' | grep -vx "$window" | head -n1) || true
  [ -n "$other" ] && break
  sleep 0.1
done
[ -n "$other" ] || fail "no window for other settings"
activate "$other"
: >"$log"
type_line '\enable_debug'
grep -q '^! .*Hotkey Ctrl+Alt+Z was refused (another program holds it)' "$log" ||
  fail "the refused hotkey is not logged: $(cat "$log")"
active_is "$other" || fail "the other window has not the focus"
xdotool key ctrl+alt+z
active_is "$window" || fail "the hotkey did not bring the window to the front"
xdotool key ctrl+alt+z
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^Zaptrove v4\.3$' | grep -qx "$window" || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Zaptrove v4\.3$' | grep -qx "$window" &&
  fail "the hotkey did not hide the window in front"
xdotool key Num_Lock ctrl+alt+z Num_Lock
active_is "$window" || fail "the hotkey with Num Lock on did not bring the window back"
activate "$other"
xdotool key Escape # ends the other program
for _ in $(seq 100); do kill -0 "$other_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$other_pid" 2>/dev/null && fail "the other program did not end"

# A second start brings the minimised window back and ends at once.
xdotool windowminimize --sync "$window"
timeout 10 "$app" --show || fail "the second start did not end with status 0"
for _ in $(seq 50); do
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && break
  sleep 0.1
done
[ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] || fail "not brought to the front"
[ "$(pgrep -c -f "^$app\$")" -eq 1 ] || fail "more than one program runs"
: >"$log"
xdotool type --delay 50 'we' # the focus is in the input box
sleep 0.5
grep -q 'Building combo for 1' "$log" || fail "the input box did not take the keys"
xdotool key Escape Escape # clears the input, then ends the program
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end with the settings on"
echo "end-to-end run passed"
