#!/usr/bin/env python3
"""Where lumo-convert --plain and OpenCC 1.4.2 (opencc-js) write different characters for the
same Simplified text, for judging by hand: one Markdown row per context, most frequent first.

Usage: differences.py TEXT [LUMO_CONVERT] [--usage]
  TEXT          Simplified Chinese, UTF-8
  LUMO_CONVERT  default: $LUMO_CONVERT, else build/app/lumo-convert
  --usage       also list the most frequent usage-row pairs (台/臺, 了/瞭, 布/佈, 盡/儘, 畫/劃)
Needs node and opencc-js 1.4.2 in the cache (bench/quality/run.sh installs it)."""
import collections
import os
import pathlib
import subprocess
import sys

# The pairs (Lumo's, OpenCC's) of the usage rows that differ most often (了解, 平台, 发布, 尽量,
# 计划); left out unless --usage is given. Rarer usage rows (週邊, 匯報) are listed.
USAGE = {"台臺", "了瞭", "布佈", "盡儘", "畫劃"}

here = pathlib.Path(__file__).resolve().parent
args = [a for a in sys.argv[1:] if a != "--usage"]
if not args:
    sys.exit(__doc__)
text = pathlib.Path(args[0]).read_bytes()
default_lumo = os.environ.get("LUMO_CONVERT", str(here.parents[1] / "build/app/lumo-convert"))
lumo = args[1] if len(args) > 1 else default_lumo
xdg_cache = os.environ.get("XDG_CACHE_HOME") or pathlib.Path.home() / ".cache"
cache = pathlib.Path(os.environ.get("LUMO_CACHE_DIR") or pathlib.Path(xdg_cache) / "lumo")
env = dict(os.environ, NODE_PATH=str(cache / "peers/node_modules"))
if not (cache / "peers/node_modules/opencc-js/package.json").is_file():
    sys.exit("differences.py: opencc-js is not in the cache; run bench/quality/run.sh once")
if not os.access(lumo, os.X_OK):
    sys.exit(f"differences.py: {lumo} is missing; build first or pass its path")


def run(command, **kw):
    done = subprocess.run(command, input=text, capture_output=True, check=True, **kw)
    return done.stdout.decode().split("\n")


def cell(t):
    return t.replace("|", "\\|").replace("\t", " ")


source = text.decode().split("\n")
ours = run([lumo, "--plain"])
theirs = run(["node", str(here / "opencc-js-s2tw.js")], env=env)
counts = collections.Counter()
for line, a, b in zip(source, ours, theirs):
    if a == b or len(a) != len(b) or len(a) != len(line):
        continue
    for k, (x, y) in enumerate(zip(a, b)):
        if x != y and ("--usage" in sys.argv or x + y not in USAGE):
            span = slice(max(0, k - 2), k + 3)
            counts[(line[span], a[span], b[span])] += 1
print(f"{sum(counts.values())} characters differ\n")
print("| n | Simplified | lumo-convert --plain | opencc-js 1.4.2 | right |")
print("|---|---|---|---|---|")
for (s, a, b), n in counts.most_common():
    print(f"| {n} | {cell(s)} | {cell(a)} | {cell(b)} |  |")
