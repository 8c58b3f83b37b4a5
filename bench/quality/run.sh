#!/usr/bin/env bash
# Round-trip quality benchmark: errors per 10,000 Han characters on each part of the development
# corpus (bench/quality/fetch-corpus.sh), for lumo-convert --plain beside OpenCC 1.4.2 (opencc-js),
# Debian's `opencc -c s2tw` and, when installed, cconv. Also writes the most frequent errors of
# each program to bench/quality/errors.md (or $LUMO_ERRORS).
# Usage: bench/quality/run.sh [LUMO_CONVERT]   (default: $LUMO_CONVERT, else build/app/lumo-convert)
# Needs uconv (icu-devtools), opencc, node and npm; opencc-js is installed into the cache.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
lumo="${1:-${LUMO_CONVERT:-$root/build/app/lumo-convert}}"
[[ -x "$lumo" ]] || { echo "run.sh: $lumo is missing; build first or pass its path" >&2; exit 1; }
for tool in uconv opencc node npm python3; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing" >&2; exit 1; }
done
cache="${LUMO_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/lumo}"
corpus="$("$here/fetch-corpus.sh")"
peers="$cache/peers"
if [[ ! -f "$peers/node_modules/opencc-js/package.json" ]] ||
  ! grep -q '"version": "1.4.2"' "$peers/node_modules/opencc-js/package.json"; then
  mkdir -p "$peers"
  (cd "$peers" && npm install --no-save --silent opencc-js@1.4.2) ||
    { echo "run.sh: opencc-js 1.4.2 cannot be installed" >&2; exit 1; }
fi
programs=("lumo-convert --plain=$lumo --plain"
  "opencc-js 1.4.2=NODE_PATH=$peers/node_modules node $here/opencc-js-s2tw.js"
  "opencc -c s2tw ($(opencc --version 2>&1 | grep -o '[0-9][0-9.]*' | head -1 || true))=opencc -c s2tw")
command -v cconv >/dev/null && programs+=("cconv=cconv -f UTF8-CN -t UTF8-TW")
nice python3 "$here/roundtrip.py" "$corpus" "${LUMO_ERRORS:-$here/errors.md}" "${programs[@]}"
