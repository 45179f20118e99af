# SPDX-License-Identifier: MIT
# A private headless Wayland compositor, with software rendering, for the
# tests and benchmarks; sourced, not run.
#
#   start_headless_sway LOG OUTPUT_LINE...
#   start_headless_weston LOG
#
# Compositors refuse to run as root: each runs as nobody in a runtime folder
# of its own, which root's clients reach. Each sets XDG_RUNTIME_DIR,
# WAYLAND_DISPLAY and compositor_pid (sway also SWAYSOCK), or returns 1 with
# a message. stop_headless_compositor ends it and removes the folder.

# Runs the command as nobody, in place of the shell that runs this.
run_as_nobody() {
  exec setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i PATH="$PATH" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" "$@"
}

# A runtime folder of nobody's own.
make_runtime_folder() {
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/quillant-wayland.XXXXXX)
  chown nobody "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
  unset WAYLAND_DISPLAY WAYLAND_SOCKET DISPLAY
}

# Waits up to 10 s for the compositor's socket; sets WAYLAND_DISPLAY.
wait_wayland_socket() {
  local socket
  for _ in $(seq 100); do
    socket=$(cd "$XDG_RUNTIME_DIR" && ls wayland-[0-9] 2>/dev/null | head -n 1)
    if [ -n "$socket" ]; then
      export WAYLAND_DISPLAY=$socket
      return 0
    fi
    sleep 0.1
  done
  echo "the compositor made no socket: $(tail -n 3 "$1")" >&2
  return 1
}

# Headless sway with one output for each line ("output HEADLESS-1 ...").
start_headless_sway() {
  local log=$1
  shift
  make_runtime_folder
  { echo "xwayland disable"; printf '%s\n' "$@"; } >"$XDG_RUNTIME_DIR/config"
  chown nobody "$XDG_RUNTIME_DIR/config"
  run_as_nobody WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_HEADLESS_OUTPUTS=$# sway -c "$XDG_RUNTIME_DIR/config" >"$log" 2>&1 &
  compositor_pid=$!
  wait_wayland_socket "$log" || return 1
  for _ in $(seq 100); do
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    export SWAYSOCK
    [ -n "$SWAYSOCK" ] && swaymsg -t get_version >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "sway did not answer: $(tail -n 3 "$log")" >&2
  return 1
}

# Headless weston, 640x480, which has no layer shell; --debug lets
# weston-screenshooter take shots.
start_headless_weston() {
  make_runtime_folder
  run_as_nobody weston --backend=headless-backend.so --use-pixman --width=640 --height=480 \
    --debug --idle-time=0 >"$1" 2>&1 &
  compositor_pid=$!
  wait_wayland_socket "$1"
}

stop_headless_compositor() {
  if [ -n "${compositor_pid:-}" ]; then
    kill "$compositor_pid" 2>/dev/null
    for _ in $(seq 50); do
      kill -0 "$compositor_pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  compositor_pid=""
  [ -n "${XDG_RUNTIME_DIR:-}" ] && rm -rf "$XDG_RUNTIME_DIR"
}
