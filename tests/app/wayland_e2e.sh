#!/usr/bin/env bash
# Runs a command as a client of its own headless Weston, with no X server at all: a private
# runtime directory, DISPLAY unset, XDG_SESSION_TYPE=wayland as a Wayland desktop session sets
# it (so Qt chooses its Wayland plugin by itself). Weston gets the test seat module (the
# clipboard needs a seat; SIGUSR1 to $LUMO_WESTON_PID presses Shift on it) and logs its protocol
# traffic to $LUMO_WESTON_LOG for the test to read.
# Usage: wayland_e2e.sh SEAT_MODULE COMMAND...
set -euo pipefail
module=$(realpath "$1") # weston looks for a relative name among its own modules
shift
runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
# LUMO_WESTON_LOG_COPY=FILE keeps the compositor's log for a look afterwards.
cleanup() {
  if [[ -n ${LUMO_WESTON_LOG_COPY:-} ]]; then cp "$LUMO_WESTON_LOG" "$LUMO_WESTON_LOG_COPY" || true; fi
  if [[ -n $weston_pid ]]; then kill "$weston_pid" 2>/dev/null || true; wait "$weston_pid" 2>/dev/null || true; fi
  rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
unset DISPLAY WAYLAND_SOCKET QT_QPA_PLATFORM
export XDG_SESSION_TYPE=wayland
export LUMO_WESTON_LOG=$runtime/weston.log
socket=wayland-lumo-test
# --idle-time=0: the shell never locks the screen while a slow test runs.
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --no-config \
  --modules="$module" --logger-scopes=log,proto --log="$LUMO_WESTON_LOG" >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [[ -S $runtime/$socket ]] && grep -q "launching.*weston-desktop-shell" "$LUMO_WESTON_LOG" 2>/dev/null && break
  kill -0 "$weston_pid" 2>/dev/null || { echo "weston ended at start:" >&2; cat "$LUMO_WESTON_LOG" >&2; exit 1; }
  sleep 0.1
done
[[ -S $runtime/$socket ]] || { echo "weston made no socket" >&2; exit 1; }
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
