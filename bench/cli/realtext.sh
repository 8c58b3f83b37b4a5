#!/usr/bin/env bash
# lumo-convert beside cconv and `opencc -c s2tw` on real Simplified Chinese: Debian's zh-CN
# documentation (debian-reference-zh-cn HTML as text, manpages-zh's zh_CN pages as text),
# concatenated and repeated to about 15 MB. Whole processes in one hyperfine run, then wall time,
# CPU time and peak RSS with GNU time on the same text repeated to 58 MB (cut at a line break),
# from a file and through a pipe, beside cconv's peak RSS.
# Usage: bench/cli/realtext.sh [BUILD_DIR]    ($LUMO_BENCH_RUNS runs, default 3)
# LUMO_CONVERT_BEFORE=/path/to/lumo-convert measures another build too, in the same run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
lumo="$build/app/lumo-convert"
[[ -x $lumo ]] || { echo "realtext.sh: $lumo is missing; build first" >&2; exit 1; }
for tool in hyperfine opencc cconv /usr/bin/time apt-get dpkg-deb python3; do
  command -v "$tool" >/dev/null || { echo "realtext.sh: $tool is missing" >&2; exit 1; }
done
work="$(mktemp -d)"
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download debian-reference-zh-cn manpages-zh >/dev/null 2>&1) ||
  { echo "realtext.sh: cannot download debian-reference-zh-cn / manpages-zh" >&2; exit 1; }
for deb in "$work"/*.deb; do dpkg-deb -x "$deb" "$work/x"; done
python3 - "$work/x" >"$work/docs.txt" <<'PY'
import gzip, html, pathlib, re, sys
root = pathlib.Path(sys.argv[1])
for p in sorted(root.glob("usr/share/debian-reference/*.zh-cn.html")):
    t = re.sub(r"<[^>]+>", "", p.read_text(encoding="utf-8"))
    print(html.unescape(t))
for p in sorted(root.glob("usr/share/man/zh_CN/man*/*.gz")):
    print(gzip.open(p).read().decode("utf-8", "replace"))
PY
repeat() { : >"$2"; while (($(stat -c %s "$2") < $3)); do cat "$1" >>"$2"; done; }
repeat "$work/docs.txt" "$work/docs15.txt" 15000000
echo "docs: $(stat -c %s "$work/docs15.txt") bytes ($(stat -c %s "$work/docs.txt") bytes of text, repeated)"
before=()
[[ -z ${LUMO_CONVERT_BEFORE:-} ]] ||
  before=(-n "lumo-convert --plain (before)" "$LUMO_CONVERT_BEFORE --plain $work/docs15.txt")
hyperfine --warmup 1 --runs "${LUMO_BENCH_RUNS:-3}" --export-markdown "$work/t.md" \
  -n "lumo-convert --plain" "$lumo --plain $work/docs15.txt" "${before[@]}" \
  -n "cconv" "cconv -f UTF8-CN -t UTF8-TW $work/docs15.txt" \
  -n "opencc -c s2tw" "opencc -c s2tw -i $work/docs15.txt" >/dev/null
cat "$work/t.md"
repeat "$work/docs.txt" "$work/docs-long.txt" 58000000
head -c 58000000 "$work/docs-long.txt" | sed '$d' >"$work/docs58.txt"
rm "$work/docs-long.txt"
echo
echo "$(stat -c %s "$work/docs58.txt") bytes; GNU time, one run each:"
echo
echo "| command | input | wall time (s) | user + system (s) | peak RSS (MiB) |"
echo "|---|---|---|---|---|"
measure() { /usr/bin/time -f '%e %U %S %M' "$@" 2>&1 >/dev/null | tail -n 1; }
row() { # row LABEL INPUT WALL USER SYSTEM RSS_KB
  echo "| $1 | $2 | $3 | $4 + $5 | $(awk "BEGIN { printf \"%.1f\", $6 / 1024 }") |"
}
for program in "$lumo" ${LUMO_CONVERT_BEFORE:+"$LUMO_CONVERT_BEFORE"}; do
  name="lumo-convert"
  [[ $program == "$lumo" ]] || name="lumo-convert (before)"
  for args in "" "--plain"; do
    # An empty $args adds no argument; measure's four figures are four arguments of row.
    # shellcheck disable=SC2046,SC2086
    row "$name $args" file $(measure "$program" $args "$work/docs58.txt")
    # shellcheck disable=SC2002,SC2046,SC2086 # cat, so that standard input is a pipe
    row "$name $args" pipe $(cat "$work/docs58.txt" | measure "$program" $args)
  done
done
# shellcheck disable=SC2046
row "cconv -f UTF8-CN -t UTF8-TW" file $(measure cconv -f UTF8-CN -t UTF8-TW "$work/docs58.txt")
