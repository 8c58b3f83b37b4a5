#!/usr/bin/env bash
# Start-up to the main window shown, beside a bare Qt Widgets window and a bare window
# showing a label of Chinese text, on one Xvfb server. Two times per start, both from
# starting the program:
#   mapped       its first top-level window is mapped, as seen by a second X client
#                that is already listening;
#   first frame  the first painted frame goes to the X server, as seen from inside the
#                program by a preloaded probe (frame_probe.cpp); until then the window
#                shows nothing of its own.
# The programs alternate, RUNS times each.
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
# A desktop session's runtime directory is a private tmpfs (/run/user/<uid>); without one Qt
# falls back to a folder under /tmp, which may sit on a disk, where the instance lock's
# fdatasync waits for the journal.
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
  XDG_RUNTIME_DIR=$(mktemp -d -p /dev/shm lumo-runtime.XXXXXX)
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
export QT_QPA_PLATFORM=xcb
bare="$build/bench/app/bench_bare_window"
text="$build/bench/app/bench_text_window"
lumo="$build/app/lumo"
probe="$build/bench/app/libbench_frame_probe.so"
for program in "$bare" "$text" "$lumo" "$probe"; do
  [[ -e "$program" ]] || { echo "build $program first" >&2; exit 1; }
done

# shown_after PROGRAM: prints the microseconds from its start to its window being mapped,
# and to its first frame.
shown_after() {
  local events pid start end frame
  events=$(mktemp -u)
  frame=$(mktemp -u)
  mkfifo "$events"
  xev -root -event substructure >"$events" 2>/dev/null &
  local listener=$!
  exec 3<"$events"
  sleep 0.2 # the listener has selected its events
  start=$(date +%s%N)
  LUMO_FRAME_PROBE_OUT="$frame" LD_PRELOAD="$probe" "$1" 2>/dev/null &
  pid=$!
  while read -r line <&3; do
    [[ "$line" == MapNotify* ]] && break
  done
  end=$(date +%s%N)
  for _ in {1..200}; do
    [[ -s "$frame" ]] && break
    sleep 0.01
  done
  kill "$pid" "$listener" 2>/dev/null || true
  wait "$pid" "$listener" 2>/dev/null || true
  exec 3<&-
  rm -f "$events"
  local painted
  painted=$(awk '{print $2}' "$frame" 2>/dev/null)
  rm -f "$frame"
  [[ -n "$painted" ]] || { echo "no frame from $1" >&2; exit 1; }
  echo "$(((end - start) / 1000)) $(((painted - start) / 1000))"
}

results=$(mktemp)
for ((i = 0; i < runs + 2; i++)); do
  b=$(shown_after "$bare")
  t=$(shown_after "$text")
  l=$(shown_after "$lumo")
  ((i >= 2)) && echo "$b $t $l" >>"$results" # the first two runs warm the caches
done
python3 - "$results" <<'PY'
import statistics, sys
rows = [[int(v) / 1000 for v in line.split()] for line in open(sys.argv[1])]
names = ("bare Qt window", "bare window + text", "lumo main window")
med = {}
for column, name in enumerate(names):
    for offset, what in enumerate(("mapped", "first frame")):
        xs = [r[2 * column + offset] for r in rows]
        med[name, what] = statistics.median(xs)
        print(f"{name:19} {what:11} median {med[name, what]:6.1f} ms  min {min(xs):6.1f} ms  "
              f"max {max(xs):6.1f} ms  ({len(xs)} runs)")
for what in ("mapped", "first frame"):
    print(f"ratio of medians, {what}: lumo / bare {med[names[2], what] / med[names[0], what]:.2f}, "
          f"lumo / text {med[names[2], what] / med[names[1], what]:.2f}")
PY
rm -f "$results"
