#!/usr/bin/env bash
# lumo-convert beside cconv and `opencc -c s2tw` on real Simplified Chinese: Debian's zh-CN
# documentation (debian-reference-zh-cn HTML as text, manpages-zh's zh_CN pages as text),
# concatenated and repeated to about 15 MB. Whole processes in one hyperfine run, then peak RSS
# with GNU time on the same file repeated to about 58 MB.
# Usage: bench/cli/realtext.sh [BUILD_DIR]    ($LUMO_BENCH_RUNS runs, default 3)
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
hyperfine --warmup 1 --runs "${LUMO_BENCH_RUNS:-3}" --export-markdown "$work/t.md" \
  -n "lumo-convert --plain" "$lumo --plain $work/docs15.txt" \
  -n "cconv" "cconv -f UTF8-CN -t UTF8-TW $work/docs15.txt" \
  -n "opencc -c s2tw" "opencc -c s2tw -i $work/docs15.txt" >/dev/null
cat "$work/t.md"
repeat "$work/docs.txt" "$work/docs58.txt" 58000000
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
echo
echo "peak RSS on $(stat -c %s "$work/docs58.txt") bytes: lumo-convert --plain $(($(peak "$lumo" --plain "$work/docs58.txt") / 1024)) MiB," \
  "cconv $(($(peak cconv -f UTF8-CN -t UTF8-TW "$work/docs58.txt") / 1024)) MiB"
