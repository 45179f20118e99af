# SPDX-License-Identifier: MIT
# What the end-to-end test scripts share; sourced, not run. A case runs in
# its own working directory, on an X display with ImageMagick and xdotool.
# Every wait is bounded; nothing is timed.

pids=()

# Ends the case: what failed, and the end of the program's standard error.
fail() {
  echo "FAIL: $*"
  [ -s err.txt ] && tail -n 5 err.txt | sed 's/^/  stderr: /'
  exit 1
}

# Starts a program in the background, its streams in out.txt and err.txt;
# program_pid is its process.
start_program() {
  "$@" >out.txt 2>err.txt &
  program_pid=$!
  pids+=("$program_pid")
}

running() { kill -0 "$program_pid" 2>/dev/null; }

# Runs a helper (input, output settings) bounded: SIGTERM after 20 s and
# SIGKILL 5 s later, so that one stuck on its display fails the case rather
# than hanging it.
bounded() { timeout -k 5 20 "$@"; }

# Waits up to $1 seconds for the program to end; sets exit_code to its exit
# code, or to "timeout". In the shell that started it, as only that one can
# wait for it.
wait_exit() {
  local tenths=$(($1 * 10))
  while running && [ "$tenths" -gt 0 ]; do
    sleep 0.1
    tenths=$((tenths - 1))
  done
  if running; then
    exit_code=timeout
  else
    wait "$program_pid"
    exit_code=$?
  fi
}

# Expects the program to end within $1 seconds with exit code $2 after $3.
expect_exit() {
  wait_exit "$1"
  [ "$exit_code" = "$2" ] || fail "after $3 the program gave $exit_code, not $2"
  echo "ok: $3 ends it with exit code $2"
}

# Expects the program still to run $1 seconds after $2.
expect_running() {
  sleep "$1"
  running || fail "it ended after $2"
}

# Waits up to $2 seconds for a window titled exactly $1; prints its X id.
wait_window() {
  local tries=$(($2 * 5)) id
  while [ "$tries" -gt 0 ]; do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
    tries=$((tries - 1))
  done
  return 1
}

# The share of strongly coloured pixels in an image: roses are bright,
# saturated strokes on black.
coloured_share() {
  convert "$1" -colorspace HSL -channel G -separate +channel -threshold 40% \
    -format '%[fx:mean]' info:
}

# Takes screenshots of window $1 (an X id, or root) until one shows roses, for
# up to $2 seconds; keeps the last as $3.
wait_roses() {
  local tries=$(($2 / 2))
  while [ "$tries" -gt 0 ]; do
    import -window "$1" "$3" 2>/dev/null &&
      awk -v s="$(coloured_share "$3")" 'BEGIN { exit !(s > 0.0005) }' && return 0
    sleep 2
    tries=$((tries - 1))
  done
  return 1
}

# Kills what the case started; for its EXIT trap. What is still there 2 s
# after SIGTERM (stuck in a driver, or deaf to it) gets SIGKILL.
kill_started() {
  local pid left
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for _ in $(seq 20); do
    left=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && left=1; done
    [ "$left" = 0 ] && return 0
    sleep 0.1
  done
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
}
