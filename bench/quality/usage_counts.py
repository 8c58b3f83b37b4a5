#!/usr/bin/env python3
"""Counts competing Traditional spellings in the corpus, in all and per source catalogue.
Usage: usage_counts.py CORPUS_TEXT WORD,WORD[,...] ...   (prints one Markdown row per group)"""
import collections
import sys

rows = [line.rstrip("\n").split("\t", 1) for line in open(sys.argv[1], encoding="utf-8")]
for group in sys.argv[2:]:
    words = group.split(",")
    total = {w: 0 for w in words}
    per = collections.defaultdict(lambda: collections.Counter())
    for src, text in rows:
        for w in words:
            n = text.count(w)
            if n:
                total[w] += n
                per[src][w] += n
    srcs = "; ".join(f"{s} " + "/".join(str(c[w]) for w in words) for s, c in sorted(per.items(), key=lambda kv: -sum(kv[1].values()))[:6])
    print("| " + " / ".join(f"{w} {total[w]}" for w in words) + f" | {len(per)} | {srcs} |")
