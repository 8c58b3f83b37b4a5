#!/usr/bin/env python3
"""Prints the translations of gettext catalogues as plain text, one line per message line that
holds Han characters, each line prefixed by the catalogue's name and a tab (for per-source counts).
Accelerator marks (_ and &) and printf-style formats are kept: they are not Han and are not scored."""
import gettext
import os
import re
import sys

HAN = re.compile(r"[\u3400-\u9fff]")
for path in sys.argv[1:]:
    name = os.path.basename(path)[:-3]
    with open(path, "rb") as f:
        catalog = gettext.GNUTranslations(f)._catalog
    for key, text in sorted(catalog.items(), key=lambda kv: str(kv[0])):
        if not key or not isinstance(text, str):
            continue
        for line in text.split("\n"):
            line = line.replace("\t", " ").strip()
            if HAN.search(line):
                print(f"{name}\t{line}")
