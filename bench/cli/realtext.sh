#!/usr/bin/env bash
# lumo-convert beside cconv, `opencc -c s2tw` and simplecc-wasm (npm, through node) on real
# Simplified Chinese, each text concatenated and repeated to about 15 MB: Debian's zh-CN
# documentation (debian-reference-zh-cn HTML as text, manpages-zh's zh_CN pages as text) and dense
# prose (fortunes-zh's `chinese`, essays and sayings written by people). Whole processes in one
# hyperfine run per text, then wall time,
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
(cd "$work" && apt-get download debian-reference-zh-cn manpages-zh fortunes-zh >/dev/null 2>&1) ||
  { echo "realtext.sh: cannot download debian-reference-zh-cn / manpages-zh / fortunes-zh" >&2; exit 1; }
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
repeat "$work/x/usr/share/games/fortunes/chinese" "$work/prose15.txt" 15000000
# simplecc-wasm, installed with npm into the cache (no global install) when node is here.
peers="${LUMO_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/lumo}/peers"
simplecc=()
if command -v node >/dev/null && command -v npm >/dev/null; then
  if [[ ! -f "$peers/node_modules/simplecc-wasm/package.json" ]]; then
    mkdir -p "$peers"
    (cd "$peers" && npm install --no-save --silent simplecc-wasm@1.1.1 >/dev/null 2>&1) || true
  fi
  if [[ -f "$peers/node_modules/simplecc-wasm/package.json" ]]; then
    cat >"$work/simplecc.js" <<'JS'
const { simplecc } = require("simplecc-wasm");
process.stdout.write(simplecc(require("fs").readFileSync(process.argv[2], "utf8"), "s2tw"));
JS
    simplecc=(node "$work/simplecc.js")
  fi
fi
for text in docs prose; do
  file="$work/$text""15.txt"
  echo
  echo "$text: $(stat -c %s "$file") bytes, repeated"
  echo
  before=()
  [[ -z ${LUMO_CONVERT_BEFORE:-} ]] ||
    before=(-n "lumo-convert --plain (before)" "$LUMO_CONVERT_BEFORE --plain $file")
  peer=()
  ((${#simplecc[@]} == 0)) || peer=(-n "simplecc-wasm s2tw (node)" "NODE_PATH=$peers/node_modules ${simplecc[*]} $file")
  hyperfine --warmup 1 --runs "${LUMO_BENCH_RUNS:-3}" --export-markdown "$work/t.md" \
    -n "lumo-convert --plain" "$lumo --plain $file" "${before[@]}" \
    -n "cconv" "cconv -f UTF8-CN -t UTF8-TW $file" \
    -n "opencc -c s2tw" "opencc -c s2tw -i $file" "${peer[@]}" >/dev/null
  cat "$work/t.md"
done
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
