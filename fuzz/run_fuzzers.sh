#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs fuzz targets one after the other, each for a bounded time:
#   fuzz/run_fuzzers.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]
# Each starts from its seeds in fuzz/seeds/ and the real-world samples (read in
# place, never copied here); what it learns is kept in BUILD_DIR/fuzz-corpus/.
# A crash, a hang, a leak, an allocation past the limit or a failed check stops
# the run; the input that caused it is left in BUILD_DIR/fuzz-findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
realworld=${ZAPTROVE_REALWORLD_DIR:-../shared/realworld}
# A small quarantine keeps the resident memory close to what the code uses, so
# that growth shows; recent frees are still caught when used.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

declare -A sources=(
  [netscape_scan_fuzz]="fuzz/seeds/netscape $realworld/netscape"
  [opera_scan_fuzz]="fuzz/seeds/opera $realworld/opera"
  [shortcut_url_fuzz]="fuzz/seeds/shortcut $realworld/url"
  [hive_format_fuzz]="fuzz/seeds/hive"
  [prefs_location_fuzz]="fuzz/seeds/prefs"
  [profiles_ini_fuzz]="fuzz/seeds/profiles_ini"
  [local_state_fuzz]="fuzz/seeds/local_state"
  [chromium_scan_fuzz]="fuzz/seeds/chromium"
  [chromium_history_fuzz]="fuzz/seeds/history"
  [firefox_places_fuzz]="fuzz/seeds/places"
  [search_run_fuzz]="fuzz/seeds/netscape fuzz/seeds/opera fuzz/seeds/shortcut
                     $realworld/netscape $realworld/opera $realworld/url"
)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(netscape_scan_fuzz opera_scan_fuzz shortcut_url_fuzz hive_format_fuzz
           prefs_location_fuzz profiles_ini_fuzz local_state_fuzz search_run_fuzz
           chromium_scan_fuzz chromium_history_fuzz firefox_places_fuzz)
fi

findings=$build/fuzz-findings
mkdir -p "$findings"
for target in "${targets[@]}"; do
  corpus=$build/fuzz-corpus/$target
  mkdir -p "$corpus"
  seeds=()
  for folder in ${sources[$target]}; do
    [ -d "$folder" ] && seeds+=("$folder")
  done
  log=$findings/$target.log
  echo "== $target for ${seconds}s (log: $log)"
  # Inputs up to 64 KiB; no single allocation may exceed 4 MiB, far beyond what
  # reading such an input needs.
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
      -rss_limit_mb=1024 -malloc_limit_mb=4 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "== $target FAILED; the input is in $findings/"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^Done' "$log"
done
