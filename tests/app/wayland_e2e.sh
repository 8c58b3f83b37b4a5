#!/usr/bin/env bash
# Runs a command as a client of its own headless Weston, with no X server at all: a private
# runtime directory, DISPLAY unset, XDG_SESSION_TYPE=wayland as a Wayland desktop session sets
# it (so Qt chooses its Wayland plugin by itself). Weston gets the test seat module (the
# clipboard needs a seat; SIGUSR1 to $LUMO_WESTON_PID presses Shift on it) and logs its protocol
# traffic to $LUMO_WESTON_LOG for the test to read.
#
# With --input-method fcitx5 (or ibus), Weston starts fcitx5 (or $LUMO_IBUS_WAYLAND, ibus-wayland,
# beside ibus-daemon) as its input method (Wayland's input-method protocol; clients reach it
# through text-input), in a home of the test's own with pinyin in fcitx5's profile; the run needs
# a D-Bus session of its own (dbus-run-session) for fcitx5-remote and ibus. Bytes written to the
# FIFO $LUMO_WESTON_KEYS are typed on the test seat's keyboard. With $LUMO_SCREENSHOT_DIR set,
# Weston renders (pixman) and lets weston-screenshooter take shots.
# Usage: wayland_e2e.sh [--input-method fcitx5|ibus] SEAT_MODULE COMMAND...
set -euo pipefail
input_method=
if [[ ${1:-} == --input-method ]]; then
  input_method=$2
  shift 2
  [[ $input_method == fcitx5 || $input_method == ibus ]] || { echo "unknown input method: $input_method" >&2; exit 2; }
fi
module=$(realpath "$1") # weston looks for a relative name among its own modules
shift
runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
# LUMO_WESTON_LOG_COPY=FILE keeps the compositor's log for a look afterwards.
cleanup() {
  if [[ -n ${LUMO_WESTON_LOG_COPY:-} ]]; then cp "$LUMO_WESTON_LOG" "$LUMO_WESTON_LOG_COPY" || true; fi
  if [[ -n $weston_pid ]]; then kill "$weston_pid" 2>/dev/null || true; wait "$weston_pid" 2>/dev/null || true; fi
  # The input method Weston started (Weston is gone, so it is not started again) is stopped, and
  # waited for: it saves its data into the home as it ends.
  if [[ $input_method == ibus ]]; then ibus exit >/dev/null 2>&1 || true; fi
  if [[ -n ${im_pid_file:-} && -s $im_pid_file ]]; then
    im_pid=$(cat "$im_pid_file")
    kill "$im_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$im_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$im_pid" 2>/dev/null || true
  fi
  rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
unset DISPLAY WAYLAND_SOCKET QT_QPA_PLATFORM
export XDG_SESSION_TYPE=wayland
export LUMO_WESTON_LOG=$runtime/weston.log
socket=wayland-lumo-test
config=(--no-config)
if [[ -n $input_method ]]; then
  # The input method, Weston and the program share a home of their own: no user's settings count.
  export HOME=$runtime/home LANG=C.UTF-8
  export XDG_CONFIG_HOME=$HOME/config XDG_DATA_HOME=$HOME/data XDG_CACHE_HOME=$HOME/cache
  mkdir -p "$XDG_CONFIG_HOME/fcitx5" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
  unset QT_IM_MODULE GTK_IM_MODULE XMODIFIERS # the program reaches the input method through text-input
  cp "$(dirname "${BASH_SOURCE[0]}")/data/fcitx5-profile" "$XDG_CONFIG_HOME/fcitx5/profile"
  export LUMO_INPUT_METHOD=$input_method LUMO_INPUT_METHOD_LOG=$runtime/input-method.log
  im_pid_file=$runtime/input-method.pid
  # Weston starts the input method with no arguments; this script gives them. No X11 and no tray.
  if [[ $input_method == fcitx5 ]]; then
    cat >"$runtime/input-method" <<SCRIPT
#!/bin/sh
echo \$\$ >'$im_pid_file'
exec fcitx5 --disable=xcb,xim,notificationitem,kimpanel >>'$LUMO_INPUT_METHOD_LOG' 2>&1
SCRIPT
  else
    # ibus-wayland is the input method Weston talks to; it hands the keys to ibus-daemon, whose
    # settings stay in memory. No panel: GTK's cannot place a candidate window at the caret on
    # Wayland, and libpinyin shows its first candidate in the pre-edit.
    ibus_wayland=${LUMO_IBUS_WAYLAND:-/usr/libexec/ibus-wayland}
    [[ -x $ibus_wayland ]] || { echo "$ibus_wayland is not there (scripts/setup.sh installs ibus-wayland)" >&2; exit 1; }
    export GSETTINGS_BACKEND=memory
    cat >"$runtime/input-method" <<SCRIPT
#!/bin/sh
exec >>'$LUMO_INPUT_METHOD_LOG' 2>&1
# The daemon and its panel are ordinary clients: the socket Weston gave is ibus-wayland's alone.
env -u WAYLAND_SOCKET ibus-daemon --replace --daemonize --panel=disable --emoji-extension=disable
for i in \$(seq 100); do
  IBUS_ADDRESS=\$(ibus address) && case \$IBUS_ADDRESS in unix:*) break;; esac
  sleep 0.1
done
export IBUS_ADDRESS
echo \$\$ >'$im_pid_file'
exec '$ibus_wayland'
SCRIPT
  fi
  chmod +x "$runtime/input-method"
  printf '[input-method]\npath=%s\n' "$runtime/input-method" >"$runtime/weston.ini"
  config=(--config="$runtime/weston.ini")
  export LUMO_WESTON_KEYS=$runtime/keys
  mkfifo "$LUMO_WESTON_KEYS"
  if [[ -n ${LUMO_SCREENSHOT_DIR:-} ]]; then config+=(--use-pixman --debug); fi
fi
# --idle-time=0: the shell never locks the screen while a slow test runs.
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 "${config[@]}" \
  --modules="$module" --logger-scopes=log,proto --log="$LUMO_WESTON_LOG" >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [[ -S $runtime/$socket ]] && grep -q "launching.*weston-desktop-shell" "$LUMO_WESTON_LOG" 2>/dev/null && break
  kill -0 "$weston_pid" 2>/dev/null || { echo "weston ended at start:" >&2; cat "$LUMO_WESTON_LOG" >&2; exit 1; }
  sleep 0.1
done
[[ -S $runtime/$socket ]] || { echo "weston made no socket" >&2; exit 1; }
if [[ -n $input_method ]]; then
  # Weston hands a text input to the input method only if the input method is bound when the
  # text input is activated; a program that comes first is never served. The input method can
  # take seconds to start on a busy machine, so the command waits for it.
  for _ in $(seq 600); do
    grep -q 'bind(.*"zwp_input_method_v1"' "$LUMO_WESTON_LOG" 2>/dev/null && break
    kill -0 "$weston_pid" 2>/dev/null || { echo "weston ended at start:" >&2; cat "$LUMO_WESTON_LOG" >&2; exit 1; }
    sleep 0.1
  done
  grep -q 'bind(.*"zwp_input_method_v1"' "$LUMO_WESTON_LOG" || {
    echo "the input method never reached weston in 60 s; its log:" >&2
    cat "$LUMO_INPUT_METHOD_LOG" >&2 || true
    exit 1
  }
fi
export WAYLAND_DISPLAY=$socket LUMO_WESTON_PID=$weston_pid
# The command's standard error must stay empty: no warnings from Qt's Wayland plugin either.
status=0
"$@" 2>"$runtime/stderr" || status=$?
if [[ -s $runtime/stderr ]]; then
  echo "FAIL: standard error was not empty:" >&2
  cat "$runtime/stderr" >&2
  status=1
fi
exit $status
