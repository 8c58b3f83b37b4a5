#!/usr/bin/env python3
"""Prints the paragraphs of a book in HTML (a folder of .html files, such as a DocBook or Publican
build) as plain text, one paragraph a line, each prefixed by its page's name and a tab, keeping
only paragraphs that hold Han characters. Code (<pre>), scripts and styles are left out; a
paragraph is a <p> or a <div class="para">.

Usage: book_text.py FOLDER"""
import glob
import html
import os
import re
import sys

HAN = re.compile(r"[\u3400-\u9fff]")
SKIP = re.compile(r"(?s)<(script|style|pre)\b[^>]*>.*?</\1>")
PARAGRAPH = re.compile(r'(?s)(?:<p\b[^>]*>|<div class="para"[^>]*>)(.*?)</(?:p|div)>')
TAG = re.compile(r"<[^>]+>")

if len(sys.argv) != 2 or not os.path.isdir(sys.argv[1]):
    sys.exit("book_text.py: usage: book_text.py FOLDER (a folder of .html pages)")
pages = sorted(glob.glob(os.path.join(sys.argv[1], "*.html")))
if not pages:
    sys.exit(f"book_text.py: {sys.argv[1]} holds no .html page")
for path in pages:
    name = os.path.basename(path)[: -len(".html")]
    with open(path, encoding="utf-8") as f:
        page = SKIP.sub("", f.read())
    for paragraph in PARAGRAPH.findall(page):
        text = re.sub(r"\s+", " ", html.unescape(TAG.sub("", paragraph))).strip()
        if HAN.search(text):
            print(f"{name}\t{text}")
