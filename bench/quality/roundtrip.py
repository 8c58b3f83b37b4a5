#!/usr/bin/env python3
"""Round-trip quality benchmark on the development corpus.

Authentic Taiwanese text -> Simplified with ICU's Hant-Hans transliterator (uconv) -> back to
Traditional by each program. Only characters that OpenCC's tw2s simplifies the same way as ICU are
scored; every scored Han character that differs from what the translator wrote is an error.
Prints errors per 10,000 scored Han characters per program and corpus part, and writes the most
frequent errors (expected, got, a context) per program and part to ERRORS (default errors.md).
The parts are the corpus folder's text files (fetch-corpus.sh): catalogues.txt first, then the
others by name, each named after its file. The validation part is scored but its errors are not
listed: no decision is made from it.

Usage: bench/quality/run.sh [LUMO_CONVERT]   (see run.sh; this script is its worker:
       roundtrip.py CORPUS_FOLDER ERRORS NAME=COMMAND...)
"""
import collections
import os
import re
import subprocess
import sys

HAN = re.compile(r"[\u3400-\u9fff\uf900-\ufaff]")


def run(cmd, text):
    out = subprocess.run(cmd, input=text.encode(), capture_output=True, check=True).stdout.decode()
    return out.split("\n")


def main():
    corpus, errors_path, peers = sys.argv[1], sys.argv[2], sys.argv[3:]
    names = sorted((f[:-4] for f in os.listdir(corpus) if f.endswith(".txt")), key=lambda n: (n != "catalogues", n))
    if not names:
        sys.exit(f"roundtrip.py: {corpus} holds no corpus part (*.txt)")
    parts = collections.OrderedDict()
    for name in names:
        for line in open(os.path.join(corpus, name + ".txt"), encoding="utf-8"):
            source, _, text = line.rstrip("\n").partition("\t")
            parts.setdefault(name, []).append((source, text))
    programs = [p.split("=", 1) for p in peers]  # name=command
    report = []
    worst = {}
    for part, rows in parts.items():
        texts = [t for _, t in rows]
        joined = "\n".join(texts) + "\n"
        simp = run(["uconv", "-f", "utf-8", "-t", "utf-8", "-x", "Hant-Hans"], joined)
        tw2s = run(["opencc", "-c", "tw2s"], joined)
        outs = {name: run(["sh", "-c", cmd], "\n".join(simp[: len(texts)]) + "\n") for name, cmd in programs}
        scored = 0
        mask = []
        for i, t in enumerate(texts):
            s, o = simp[i], tw2s[i]
            if len(s) != len(t) or len(o) != len(t):
                mask.append(None)
                continue
            m = [j for j, c in enumerate(t) if HAN.match(c) and s[j] == o[j]]
            mask.append(m)
            scored += len(m)
        for name, _ in programs:
            out = outs[name]
            errs = 0
            counter = worst.setdefault((name, part), collections.Counter())
            examples = worst.setdefault((name, part, "examples"), {})
            for i, t in enumerate(texts):
                m = mask[i]
                if m is None:
                    continue
                g = out[i] if i < len(out) else ""
                if len(g) != len(t):
                    errs += len(m)  # a misaligned line counts whole
                    continue
                for j in m:
                    if g[j] != t[j]:
                        errs += 1
                        key = (simp[i][j], t[j], g[j])
                        counter[key] += 1
                        examples.setdefault(key, (rows[i][0], t[max(0, j - 6) : j + 7], g[max(0, j - 6) : j + 7]))
            report.append((part, name, scored, errs))
    print("| part | program | scored Han characters | errors | per 10,000 |")
    print("|---|---|---|---|---|")
    for part, name, scored, errs in report:
        print(f"| {part} | {name} | {scored:,} | {errs:,} | {10000 * errs / max(1, scored):.1f} |")
    with open(errors_path, "w", encoding="utf-8") as f:
        f.write("# Round-trip errors by program, most frequent first\n\n")
        f.write("Columns: count, Simplified input character, what the translator wrote, what the program wrote, "
                "source (catalogue or page), original context, program's context.\n")
        for part in parts:
            if part == "validation":  # measured only: its errors are not listed, so not tuned on
                continue
            for name, _ in programs:
                f.write(f"\n## {name}: {part}\n\n| n | in | expected | got | source | original | converted |\n"
                        "|---|---|---|---|---|---|---|\n")
                for key, n in worst[(name, part)].most_common(150):
                    src, a, b = worst[(name, part, "examples")][key]
                    esc = lambda s: s.replace("|", "\\|")
                    f.write(f"| {n} | {key[0]} | {key[1]} | {key[2]} | {src} | {esc(a)} | {esc(b)} |\n")


if __name__ == "__main__":
    main()
