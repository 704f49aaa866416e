#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the Windows build's tests under Wine in a throwaway prefix made here, so
# every run starts from a fresh Windows registry and file system, in a virtual
# X display of its own, where the window tests open their windows.
# Usage: test-windows.sh BUILD_FOLDER JOBS
set -euo pipefail

if [ -z "${ZAPTROVE_WINDOWS_DISPLAY:-}" ]; then
  exec env ZAPTROVE_WINDOWS_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    bash "$0" "$@"
fi

build=$(realpath "$1")
jobs=${2:-2}
here=$(dirname "$(realpath "$0")")

export WINEPREFIX="$build/wineprefix"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# A server left by an interrupted run would keep the old prefix alive.
"$wineserver" --kill 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"

# One server for the whole run instead of one per test program; it holds none
# of this run's output streams, so nothing waits on it.
"$wineserver" --persistent </dev/null >/dev/null 2>&1
# A window manager answers at once for the windows Wine hides and closes, for
# which Wine otherwise waits a second each.
window_manager=
if command -v openbox >/dev/null; then
  openbox </dev/null >/dev/null 2>&1 &
  window_manager=$!
fi
trap '"$wineserver" --kill || true; [ -z "$window_manager" ] || kill "$window_manager" || true' EXIT
echo "Making the Wine prefix $WINEPREFIX"
# Wine's desktop, which wineboot starts, opens the display for every window of
# the run; programs run without it otherwise.
"$here/wine-run.sh" --with-display wineboot --init >"$build/wineboot.log" 2>&1

# Wine and the window manager settle a window's place and focus asynchronously,
# so a test labelled "window" that lost that race gets up to two more tries;
# every other test runs once, so that a flaky registry or file test shows.
status=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE '^window$' || status=$?
ctest --test-dir "$build" --output-on-failure -j "$jobs" -L '^window$' --repeat until-pass:3 ||
  status=$?
exit "$status"
