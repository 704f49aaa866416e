#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that Windows programs import only libraries that Windows itself has
# (those in the system folder of the Wine prefix $WINEPREFIX), so each runs as
# one file, with no DLL beside it. Exits 77 (skipped) without a Wine prefix.
# Usage: system_libraries_only.sh OBJDUMP PROGRAM...
set -euo pipefail

objdump=$1
shift
system=${WINEPREFIX:-}/drive_c/windows/system32
[ -d "$system" ] || { echo "SKIP: no Wine prefix in \$WINEPREFIX"; exit 77; }
status=0
for program in "$@"; do
  libraries=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$libraries" ] || { echo "FAIL: no imports read from $program" >&2; exit 1; }
  while read -r library; do
    if [ -z "$(find "$system" -maxdepth 1 -iname "$library" -print -quit)" ]; then
      echo "FAIL: $(basename "$program") needs $library, which Windows does not have" >&2
      status=1
    fi
  done <<<"$libraries"
done
exit $status
