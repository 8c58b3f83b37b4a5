#!/usr/bin/env bash
# Runs xvfb-run with its arguments, one at a time: parallel
# `xvfb-run -a` calls can pick the same display number, and tests that time
# real windows are steadier without a second X server competing for the cores.
set -euo pipefail
lock="${TMPDIR:-/tmp}/lumo-xvfb-$(id -u).lock"
exec flock "$lock" xvfb-run "$@"
