#!/usr/bin/env bash
# Fetches the development corpus of authentic Taiwanese text (bench/quality/corpus-*.manifest:
# pinned Debian packages, each .deb checked against its sha256 before it is read), extracts the
# kept zh_TW catalogues' translations and books, and writes one plain-text file per corpus part:
#   $CACHE/corpus/catalogues.txt   (one message line a line, lines that hold Han only)
#   $CACHE/corpus/PART.txt         (catalogues listed as PART=NAME, the same way; or a book listed as
#                                   PART:FOLDER, one paragraph a line, paragraphs that hold Han only)
# A catalogue may be listed once only, in one part.
# Prints the corpus folder. Safe to run again: a complete copy is reused.
#   cache: $LUMO_CACHE_DIR, else $XDG_CACHE_HOME/lumo, else ~/.cache/lumo
# Usage: bench/quality/fetch-corpus.sh [MANIFEST]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
manifest="${1:-$here/corpus-debian12.manifest}"
cache="${LUMO_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/lumo}"
dest="$cache/corpus"
stamp="$(sha256sum "$manifest" | cut -c1-64)"
if [[ -f "$dest/stamp" && "$(cat "$dest/stamp")" == "$stamp" ]]; then
  echo "$dest"
  exit 0
fi
command -v apt-get >/dev/null || { echo "fetch-corpus: apt-get is missing" >&2; exit 1; }
mkdir -p "$cache"
work="$(mktemp -d "$cache/.corpus.XXXXXX")"
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
mkdir "$work/debs" "$work/x" "$work/out" "$work/mo"
while read -r package version sha catalogues; do
  [[ -z "$package" || "$package" == \#* ]] && continue
  (cd "$work/debs" && apt-get download "$package=$version" >/dev/null 2>&1) ||
    { echo "fetch-corpus: $package $version: cannot be downloaded (apt-get update? another release?)" >&2; exit 1; }
  deb="$(ls "$work/debs/${package}_"*.deb)"
  actual="$(sha256sum "$deb" | cut -c1-64)"
  [[ "$actual" == "$sha" ]] ||
    { echo "fetch-corpus: $package $version: sha256 mismatch (expected $sha, got $actual)" >&2; exit 1; }
  dpkg-deb -x "$deb" "$work/x/$package"
  for c in ${catalogues//,/ }; do
    if [[ "$c" == *:* ]]; then # PART:FOLDER, a book in HTML
      part="${c%%:*}" folder="$work/x/$package/${c#*:}"
      [[ "$part" =~ ^[a-z0-9_-]+$ ]] ||
        { echo "fetch-corpus: $package $version: bad part name in $c (a-z, 0-9, _ and - only)" >&2; exit 1; }
      [[ -d "$folder" ]] || { echo "fetch-corpus: $package $version: no ${c#*:}" >&2; exit 1; }
      python3 "$here/book_text.py" "$folder" >>"$work/out/$part.txt"
      continue
    fi
    part=catalogues name="$c"
    if [[ "$c" == *=* ]]; then # PART=NAME, a catalogue of the corpus part PART
      part="${c%%=*}" name="${c#*=}"
    fi
    [[ "$part" =~ ^[a-z0-9_-]+$ ]] ||
      { echo "fetch-corpus: $package $version: bad part name in $c (a-z, 0-9, _ and - only)" >&2; exit 1; }
    [[ -n "$name" && "$name" != */* && "$name" != *=* ]] ||
      { echo "fetch-corpus: $package $version: bad catalogue name in $c" >&2; exit 1; }
    mo="$work/x/$package/usr/share/locale/zh_TW/LC_MESSAGES/$name.mo"
    [[ -f "$mo" ]] || { echo "fetch-corpus: $package $version: no zh_TW $name.mo" >&2; exit 1; }
    for seen in "$work/mo"/*/"$name.mo"; do
      if [[ -e "$seen" ]]; then
        echo "fetch-corpus: $package $version: catalogue $name is listed twice (parts must not share text)" >&2
        exit 1
      fi
    done
    mkdir -p "$work/mo/$part"
    cp "$mo" "$work/mo/$part/$name.mo"
  done
  rm -rf "$deb" "$work/x/$package"
done <"$manifest"
for folder in "$work/mo"/*/; do
  [[ -d "$folder" ]] || continue
  part="$(basename "$folder")"
  python3 "$here/corpus_text.py" "$folder"*.mo >>"$work/out/$part.txt"
done
if [[ -d "$work/mo/catalogues" ]]; then # their .mo files stay in the corpus folder, as before
  mv "$work/mo/catalogues"/*.mo "$work/out/"
fi
rm -rf "$work/x" "$work/debs" "$work/mo"
echo "$stamp" >"$work/out/stamp"
rm -rf "$dest"
mv "$work/out" "$dest"
echo "$dest"
