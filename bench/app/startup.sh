#!/usr/bin/env bash
# Start-up to the main window shown, beside a bare Qt Widgets window, on one Xvfb
# server: the time from starting the program to its first top-level window being
# mapped, as seen by a second X client that is already listening. The programs
# alternate, RUNS times each.
# Usage: bench/app/startup.sh [build-dir]   (needs xvfb-run, xev from x11-utils, python3,
# dbus-run-session)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${RUNS:-30}"

# Like a desktop session: an X server and a D-Bus session bus (without one, Qt's
# first text box spends milliseconds trying to start a bus, which no desktop does).
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$build"
fi
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]] && command -v dbus-run-session >/dev/null; then
  exec dbus-run-session -- "$0" "$build"
fi
export QT_QPA_PLATFORM=xcb
bare="$build/bench/app/bench_bare_window"
lumo="$build/app/lumo"
for program in "$bare" "$lumo"; do
  [[ -x "$program" ]] || { echo "build $program first" >&2; exit 1; }
done

# shown_after PROGRAM: prints the milliseconds from its start to its window being mapped.
shown_after() {
  local events pid start end
  events=$(mktemp -u)
  mkfifo "$events"
  xev -root -event substructure >"$events" 2>/dev/null &
  local listener=$!
  exec 3<"$events"
  sleep 0.2 # the listener has selected its events
  start=$(date +%s%N)
  "$1" 2>/dev/null &
  pid=$!
  while read -r line <&3; do
    [[ "$line" == MapNotify* ]] && break
  done
  end=$(date +%s%N)
  kill "$pid" "$listener" 2>/dev/null || true
  wait "$pid" "$listener" 2>/dev/null || true
  exec 3<&-
  rm -f "$events"
  echo $(((end - start) / 1000))
}

results=$(mktemp)
for ((i = 0; i < runs + 2; i++)); do
  b=$(shown_after "$bare")
  l=$(shown_after "$lumo")
  ((i >= 2)) && echo "$b $l" >>"$results" # the first two runs warm the caches
done
python3 - "$results" <<'PY'
import statistics, sys
rows = [tuple(int(v) / 1000 for v in line.split()) for line in open(sys.argv[1])]
bare = [r[0] for r in rows]; lumo = [r[1] for r in rows]
for name, xs in (("bare Qt window", bare), ("lumo main window", lumo)):
    print(f"{name:18} median {statistics.median(xs):6.1f} ms  mean {statistics.mean(xs):6.1f} ms  "
          f"min {min(xs):6.1f} ms  max {max(xs):6.1f} ms  ({len(xs)} runs)")
print(f"ratio of medians: {statistics.median(lumo) / statistics.median(bare):.2f}")
PY
rm -f "$results"
