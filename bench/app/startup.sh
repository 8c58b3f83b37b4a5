#!/usr/bin/env bash
# Start-up to the main window shown, beside a bare Qt Widgets window, on one Xvfb
# server. Each run starts the program, waits until its window is mapped, and
# ends it. Usage: bench/app/startup.sh [build-dir]   (needs hyperfine, xdotool, xvfb-run)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi
export QT_QPA_PLATFORM=xcb
for program in "$build/bench/app/bench_bare_window" "$build/app/lumo"; do
  [[ -x "$program" ]] || { echo "build $program first" >&2; exit 1; }
done

# wait_shown PROGRAM TITLE: start PROGRAM, return once a window titled TITLE is visible.
cat >/tmp/lumo-wait-shown.sh <<'SH'
#!/usr/bin/env bash
"$1" 2>/dev/null &
pid=$!
until xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do
  kill -0 $pid 2>/dev/null || { echo "$1 ended before its window showed" >&2; exit 1; }
  sleep 0.005
done
kill $pid
wait $pid 2>/dev/null || true
SH
chmod +x /tmp/lumo-wait-shown.sh

hyperfine --warmup 3 --runs 30 -N \
  "/tmp/lumo-wait-shown.sh $build/bench/app/bench_bare_window bare-window" \
  "/tmp/lumo-wait-shown.sh $build/app/lumo lumo.example"
