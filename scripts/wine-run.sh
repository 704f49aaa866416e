#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program under Wine in the prefix $WINEPREFIX, without a display
# and without Wine's own messages. scripts/test-windows.sh makes the prefix.
set -euo pipefail

if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set" >&2
  exit 2
fi
# Debian's wine64 keeps its loader in Wine's library folder, off the PATH.
for loader in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$loader" ] && [ -x "$loader" ]; then
    unset DISPLAY WAYLAND_DISPLAY
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    exec "$loader" "$@"
  fi
done
echo "wine-run.sh: no Wine loader found (install wine64)" >&2
exit 2
