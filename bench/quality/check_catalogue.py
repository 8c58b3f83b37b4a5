#!/usr/bin/env python3
"""Checks whether a zh_TW message catalogue was written by people or converted from its zh_CN
sibling by a program, before it may join the corpus.

For every message that both catalogues translate with Han characters (each plural form counted),
the zh_CN text is converted with Debian's `opencc -c s2tw` and `-c s2twp` and compared whole with
the zh_TW text. Prints, for all such messages and for those whose zh_TW text holds 10 or more Han
characters ("10+ Han"), the share that comes out identical; the count of mainland words in the
zh_TW text; the zh_TW Han characters; and the last translator. An independent translation shares
few messages of 10+ Han with a converted sibling (under 5% here); a converted one shares most.

Usage: check_catalogue.py ZH_TW.mo ZH_CN.mo [ZH_TW.mo ZH_CN.mo ...]
Prints one tab-separated line per pair: name, all s2tw/s2twp, 10+ s2tw/s2twp, mainland words,
Han characters, last translator.
"""
import gettext
import os
import re
import subprocess
import sys

HAN = re.compile(r"[\u3400-\u9fff]")
# Mainland words a Taiwanese translator does not write (用戶端, 數據機 and 行動數據 are Taiwan's).
MAINLAND = ["軟件", "信息", "默認", "服務器", "網絡", "用戶", "創建", "支持", "數據", "菜單", "打印", "設置",
            "鏈接", "文件夾", "視頻"]
TAIWAN_COMPOUNDS = {"用戶端": "用戶", "數據機": "數據", "行動數據": "數據"}


def load(path):
    with open(path, "rb") as f:
        t = gettext.GNUTranslations(f)
    info = t.info()
    return t._catalog, info.get("last-translator", "")


def convert(config, texts):
    joined = "\n".join(t.replace("\n", "\u2028") for t in texts) + "\n"
    out = subprocess.run(["opencc", "-c", config], input=joined.encode(), capture_output=True,
                         check=True).stdout.decode().split("\n")
    return out[: len(texts)]


def check(tw_path, cn_path):
    tw, translator = load(tw_path)
    cn, _ = load(cn_path)
    pairs = [(tw[k], cn[k]) for k in tw if k and k in cn and isinstance(tw[k], str)
             and HAN.search(tw[k]) and HAN.search(cn[k])]
    cn_texts = [c.replace("\n", "\u2028") for _, c in pairs]
    s2tw, s2twp = convert("s2tw", cn_texts), convert("s2twp", cn_texts)
    tw_texts = [t.replace("\n", "\u2028") for t, _ in pairs]
    long = [i for i, t in enumerate(tw_texts) if len(HAN.findall(t)) >= 10]

    def share(conv, idx):
        return 100.0 * sum(conv[i] == tw_texts[i] for i in idx) / max(1, len(idx))

    all_idx = range(len(pairs))
    text = "\n".join(v for k, v in tw.items() if k and isinstance(v, str))
    mainland = {w: text.count(w) for w in MAINLAND}
    for w, inside in TAIWAN_COMPOUNDS.items():
        mainland[inside] -= text.count(w)
    words = " ".join(f"{w}{n}" for w, n in mainland.items() if n > 0) or "-"
    han = len(HAN.findall(text))
    return (f"{os.path.basename(tw_path)[:-3]}\t{share(s2tw, all_idx):.1f}/{share(s2twp, all_idx):.1f} of {len(pairs)}"
            f"\t{share(s2tw, long):.1f}/{share(s2twp, long):.1f} of {len(long)}\t{words}\t{han}\t{translator}")


def main():
    args = sys.argv[1:]
    if not args or len(args) % 2:
        sys.exit("usage: check_catalogue.py ZH_TW.mo ZH_CN.mo [...]")
    for i in range(0, len(args), 2):
        try:
            print(check(args[i], args[i + 1]), flush=True)
        except (OSError, ValueError, subprocess.CalledProcessError) as e:
            print(f"check_catalogue.py: {args[i]}: {e}", file=sys.stderr)


if __name__ == "__main__":
    main()
