#!/usr/bin/env bash
# lumo-convert beside `opencc -c s2tw` and `cconv -f UTF8-CN -t UTF8-TW` on the same 15 MB
# Simplified Chinese file, then beside `opencc -c s2tw` on one signature line, as whole
# processes: wall time with hyperfine, then peak RSS with GNU time (lumo-convert's limit: 16 MiB).
# Usage: bench/cli/run.sh [BUILD_DIR] [MEGABYTES]   (defaults: build/, 15)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
megabytes="${2:-15}"
lumo="$build/app/lumo-convert"
sample_text="$build/bench/conversion/lumo-sample-text"
for tool in "$lumo" "$sample_text"; do
  [[ -x $tool ]] || { echo "run.sh: $tool is missing; build first" >&2; exit 1; }
done
for tool in hyperfine opencc cconv /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
input="$work/sample.txt"
"$sample_text" "$megabytes" >"$input"
size=$(stat -c %s "$input")
echo "input: $size bytes of generated Simplified Chinese, $(wc -l <"$input") lines; $(nproc) cores"

hyperfine --warmup 1 --runs "${LUMO_BENCH_RUNS:-5}" --export-markdown "$work/times.md" \
  -n "lumo-convert" "$lumo $input" \
  -n "lumo-convert --plain" "$lumo --plain $input" \
  -n "opencc -c s2tw" "opencc -c s2tw -i $input" \
  -n "cconv -f UTF8-CN -t UTF8-TW" "cconv -f UTF8-CN -t UTF8-TW $input"
cat "$work/times.md"

limit_kb=$((16 * 1024)) # lumo-convert streams: its peak must not grow with the input
echo
echo "Peak RSS (limit for lumo-convert: $((limit_kb / 1024)) MiB whatever the input size)"
echo
echo "| command | peak RSS (MiB) |"
echo "|---|---|"
peak_rss() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
over=0
for args in "" "--plain"; do
  # shellcheck disable=SC2086 # an empty $args adds no argument
  rss_kb=$(peak_rss "$lumo" $args "$input")
  ((rss_kb < limit_kb)) || over=1
  echo "| lumo-convert $args | $(awk "BEGIN { printf \"%.1f\", $rss_kb / 1024 }") |"
done
echo "| opencc -c s2tw | $(($(peak_rss opencc -c s2tw -i "$input") / 1024)) |"
((over == 0)) || { echo "run.sh: lumo-convert went over its memory limit" >&2; exit 1; }

# One signature line: what a start costs.
line="$work/line.txt"
echo "我们的个性签名：今天天气很好，心情也很好。2026" >"$line"
echo
echo "One line ($(stat -c %s "$line") bytes):"
hyperfine -N --warmup 5 --runs "${LUMO_BENCH_LINE_RUNS:-50}" --export-markdown "$work/line.md" \
  -n "lumo-convert" "$lumo $line" \
  -n "opencc -c s2tw" "opencc -c s2tw -i $line"
cat "$work/line.md"
echo
echo "| command (one line) | peak RSS (KiB) |"
echo "|---|---|"
echo "| lumo-convert | $(peak_rss "$lumo" "$line") |"
echo "| opencc -c s2tw | $(peak_rss opencc -c s2tw -i "$line") |"
