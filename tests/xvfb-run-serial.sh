#!/usr/bin/env bash
# Runs xvfb-run with its arguments, one at a time: parallel `xvfb-run -a` calls
# can pick the same display number, and tests that time real windows are
# steadier without a second X server competing for the cores.
#
# The server also gets -noreset: by default Xvfb resets when its last client
# disconnects and refuses connections meanwhile, so a program started right
# after another one ended (or was killed) could find no display.
set -euo pipefail
lock="${TMPDIR:-/tmp}/lumo-xvfb-$(id -u).lock"
args=()
server_args_seen=false
while (($#)); do
  if [[ $1 == -s || $1 == --server-args ]] && (($# >= 2)); then
    args+=("$1" "$2 -noreset")
    server_args_seen=true
    shift 2
    continue
  fi
  args+=("$1")
  shift
done
if ! $server_args_seen; then
  args=(-s "-noreset" "${args[@]}")
fi
exec flock "$lock" xvfb-run "${args[@]}"
