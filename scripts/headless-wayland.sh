# SPDX-License-Identifier: MIT
# A private headless Wayland compositor, with software rendering, for the
# tests and benchmarks; sourced, not run.
#
#   start_headless_sway LOG OUTPUT_LINE...
#   start_headless_weston LOG
#   start_headless_kwin LOG [OUTPUT_COUNT, default 2] [SIZE, default 800x600]
#   start_headless_mutter LOG MONITOR_SIZE...
#
# Compositors refuse to run as root: each runs as nobody in a runtime folder
# of its own, which root's clients reach. Each sets XDG_RUNTIME_DIR,
# WAYLAND_DISPLAY and compositor_pid (sway also SWAYSOCK; KWin and Mutter,
# which each run in a D-Bus session of their own, DBUS_SESSION_BUS_ADDRESS,
# a bus that root's clients may use too), or returns 1 with a message.
# stop_headless_compositor ends it and removes the folder.

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

# A D-Bus session bus configuration in the runtime folder: the session's
# usual one, on a socket of a known path, open to root's clients as well as
# to nobody's (by default a session bus admits its owner alone).
write_session_bus_config() {
  cat >"$XDG_RUNTIME_DIR/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <include>/usr/share/dbus-1/session.conf</include>
  <listen>unix:path=$XDG_RUNTIME_DIR/bus</listen>
  <policy context="default"><allow user="root"/></policy>
</busconfig>
EOF
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
}

# Waits up to 10 s for the compositor named $2 that dbus-run-session started
# (session_pid); sets compositor_pid to it: the session ends with it.
wait_session_child() {
  for _ in $(seq 100); do
    compositor_pid=$(pgrep -P "$session_pid" -x "$1" | head -n 1)
    [ -n "$compositor_pid" ] && return 0
    sleep 0.1
  done
  compositor_pid=$session_pid
  echo "$1 did not start: $(tail -n 3 "$2")" >&2
  return 1
}

# Headless KWin (KDE Plasma's compositor) with OUTPUT_COUNT virtual outputs
# of SIZE side by side (Virtual-0, Virtual-1, ...), with no lock screen,
# and with its restricted protocols (fake input among them) open to every
# client, as the tests drive it through them.
# NOTE: /usr/bin/kwin_wayland carries a file capability (cap_sys_resource),
# which a container that may not grant it refuses to execute; a plain copy
# of the binary, which drops the capability, runs.
start_headless_kwin() {
  local log=$1 count=${2:-2} size=${3:-800x600}
  make_runtime_folder
  write_session_bus_config
  cp /usr/bin/kwin_wayland "$XDG_RUNTIME_DIR/kwin_wayland"
  chown -R nobody "$XDG_RUNTIME_DIR"
  run_as_nobody HOME="$XDG_RUNTIME_DIR" QT_QPA_PLATFORM=offscreen KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
    dbus-run-session --config-file="$XDG_RUNTIME_DIR/bus.conf" -- \
    "$XDG_RUNTIME_DIR/kwin_wayland" --virtual --width "${size%x*}" --height "${size#*x}" \
    --output-count "$count" \
    --socket wayland-1 --no-lockscreen >"$log" 2>&1 &
  session_pid=$!
  wait_session_child kwin_wayland "$log" || return 1
  wait_wayland_socket "$log"
}

# Headless Mutter (GNOME's compositor, without GNOME Shell) with a virtual
# monitor of each size given (WIDTHxHEIGHT): Meta-0, Meta-1, ... It offers
# no layer shell.
start_headless_mutter() {
  local log=$1 monitor arguments=()
  shift
  for monitor in "$@"; do arguments+=(--virtual-monitor "$monitor"); done
  make_runtime_folder
  write_session_bus_config
  chown -R nobody "$XDG_RUNTIME_DIR"
  run_as_nobody HOME="$XDG_RUNTIME_DIR" \
    dbus-run-session --config-file="$XDG_RUNTIME_DIR/bus.conf" -- \
    mutter --headless --wayland --no-x11 "${arguments[@]}" --wayland-display wayland-1 \
    >"$log" 2>&1 &
  session_pid=$!
  wait_session_child mutter "$log" || return 1
  wait_wayland_socket "$log"
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
  # A D-Bus session, and its bus, end with its compositor.
  if [ -n "${session_pid:-}" ]; then
    for _ in $(seq 50); do
      kill -0 "$session_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$session_pid" 2>/dev/null
    # Its bus goes a moment after it.
    for _ in $(seq 50); do
      pgrep -f -- "--config-file[= ]$XDG_RUNTIME_DIR/bus.conf" >/dev/null || break
      sleep 0.1
    done
  fi
  session_pid=""
  [ -n "${XDG_RUNTIME_DIR:-}" ] && rm -rf "$XDG_RUNTIME_DIR"
}
