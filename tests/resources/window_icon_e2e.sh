#!/usr/bin/env bash
# Under a real X server: a window and a dialog of a program that applied Lumo's identity both
# carry the program icon. Usage: window_icon_e2e.sh PROBE_PROGRAM
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/window_icons.sh"
"$1" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
windows=$(lumo_wait_windows "$pid" 2)
status=0
for window in $windows; do
  lumo_check_icon "$window" || status=1
done
exit $status
