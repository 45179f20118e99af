# SPDX-License-Identifier: MIT
# A private X display for the scripts and tests; sourced, not run.
#
#   start_private_display LOG [Xvfb options...]
#
# Starts Xvfb on a free display number with the given options (a 1024x768
# 24-bit screen when none are given), its messages in LOG. Sets DISPLAY and
# display_pid. Neither Xvfb nor anything it starts keeps the caller's output
# open, as CTest waits for that output to close. Returns 1, with a message,
# when no server starts.
start_private_display() {
  local log=$1 line
  shift
  [ $# -gt 0 ] || set -- -screen 0 1024x768x24
  if ! command -v Xvfb >/dev/null; then
    echo "no X server can be started: Xvfb is missing (package xvfb)" >&2
    return 1
  fi
  # Xvfb picks a free display and writes its number to the pipe. It must not
  # reset when its last client goes, as it would refuse the next one meanwhile.
  exec 3< <(Xvfb -displayfd 1 -nolisten tcp -noreset "$@" </dev/null 2>"$log" &
            echo "pid $!")
  display_pid="" DISPLAY=""
  while { [ -z "$display_pid" ] || [ -z "$DISPLAY" ]; } && read -r line <&3; do
    case "$line" in
      pid\ *) display_pid=${line#pid } ;;
      *) DISPLAY=:$line ;;
    esac
  done
  exec 3<&-
  if [ -z "$DISPLAY" ]; then
    echo "no X server could be started: Xvfb did not start (its messages: $log)" >&2
    return 1
  fi
  export DISPLAY
}

# Stops the display that start_private_display started, and waits (up to 5 s)
# for the server to go: on its way out it removes its socket, which must not
# be the socket of a new server that took the same number.
stop_private_display() {
  [ -n "${display_pid:-}" ] || return 0
  kill "$display_pid" 2>/dev/null
  local tries=50
  while kill -0 "$display_pid" 2>/dev/null && [ "$tries" -gt 0 ]; do
    sleep 0.1
    tries=$((tries - 1))
  done
  display_pid=""
}
