#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program under Wine in the prefix $WINEPREFIX, without Wine's
# own messages, and without a display unless --with-display comes first (then
# on $DISPLAY). scripts/test-windows.sh makes the prefix.
# Usage: wine-run.sh [--with-display] PROGRAM [ARGUMENT]...
set -euo pipefail

with_display=false
if [ "${1:-}" = --with-display ]; then
  with_display=true
  shift
fi

if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set" >&2
  exit 2
fi
# Debian's wine64 keeps its loader in Wine's library folder, off the PATH.
for loader in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$loader" ] && [ -x "$loader" ]; then
    $with_display || unset DISPLAY
    unset WAYLAND_DISPLAY
    # No .NET or web engine installs into the prefix, and no Start-menu entry a
    # program makes is copied into this system's own menus.
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    exec "$loader" "$@"
  fi
done
echo "wine-run.sh: no Wine loader found (install wine64)" >&2
exit 2
