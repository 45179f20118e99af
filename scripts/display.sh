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
  # Xvfb picks a free display and writes its number to the pipe.
  exec 3< <(Xvfb -displayfd 1 -nolisten tcp "$@" </dev/null 2>"$log" &
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

# Stops the display that start_private_display started.
stop_private_display() {
  [ -n "${display_pid:-}" ] && kill "$display_pid" 2>/dev/null
  display_pid=""
}
