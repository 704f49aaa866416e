# SPDX-License-Identifier: MIT
# Driving the program's window with xdotool, shared by the end-to-end tests.
# Source it after defining `fail` and the array `pids` of processes to end.
# `search` reads the diagnostic log at $log; `type_line` types $typing_delay
# milliseconds a key (20 unless set).

# Waits up to 20 s for a command to succeed.
wait_for() {
  for _ in $(seq 200); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
# Gives a window the keyboard.
activate() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; }
# The main window once it shows, waited for up to $1 seconds.
main_window() {
  timeout "$1" xdotool search --sync --onlyvisible --name '^Zaptrove v4\.3$' | head -n1
}
# Starts the program ("$3" and on), waits up to $1 seconds for its window, and
# gives it the keyboard; $2 says when, in the failure message.
start_app() {
  local seconds=$1 when=$2
  shift 2
  "$@" &
  app_pid=$!
  pids+=($app_pid)
  window=$(main_window "$seconds")
  [ -n "$window" ] || fail "no window $when"
  activate "$window"
}
type_line() { xdotool type --delay "${typing_delay:-20}" "$1"; xdotool key Return; sleep 0.5; }
# How many lists the log says were built.
lists_built() { grep -c 'Building combo' "$log" || true; }
more_lists_than() { [ "$(lists_built)" -gt "$1" ]; }
# Searches and waits until the list is built, however slow the machine.
search() {
  local before
  before=$(lists_built)
  type_line "$1"
  wait_for more_lists_than "$before" || fail "no list for $1"
  sleep 0.3
}
