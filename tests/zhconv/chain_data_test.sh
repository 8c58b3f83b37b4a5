#!/usr/bin/env bash
# The conversion's data is refused, with a message that says what is wrong, when it is not what
# zhconv/chain.lock pins: a file that fails its hash, a file of a package that no line pins, a line
# without a hash; and the fetch stops naming the package and version when it cannot get it.
# Usage: chain_data_test.sh SOURCE_DIR DATA_DIR
set -euo pipefail
root=$1 data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
lock="$root/zhconv/chain.lock"

# expect_refusal NAME TEXT LOCK: the configure-time check refuses LOCK, saying TEXT.
expect_refusal() {
  local out
  if out=$(cmake -DCHAIN="$3" -DDATA_DIR="$data" -P "$root/cmake/VerifyChainData.cmake" 2>&1); then
    fail "$1: accepted"
  fi
  # CMake wraps its messages; read them as one line.
  grep -qF "$2" <<<"$(tr -s ' \n' '  ' <<<"$out")" || fail "$1: the message does not say '$2': $out"
}

cmake -DCHAIN="$lock" -DDATA_DIR="$data" -P "$root/cmake/VerifyChainData.cmake" ||
  fail "the pinned data itself is refused"

# One hash changed: the file it names is refused.
awk '$1 == "words" { $4 = "0" substr($4, 2) } { print }' "$lock" >"$work/hash.lock"
expect_refusal "a changed hash" "is not the pinned file" "$work/hash.lock"

# A dictionary of a package that no line pins.
{ cat "$lock"; echo "phrases elsewhere dict.ocd2 $(printf '%064d' 0)"; } >"$work/unpinned.lock"
expect_refusal "an unpinned package" "which no package line pins" "$work/unpinned.lock"

# A file without a hash.
{ cat "$lock"; echo "phrases opencc prebuilds/assets/Extra.ocd2 latest"; } >"$work/nohash.lock"
expect_refusal "a line without a hash" "is not pinned by a sha256" "$work/nohash.lock"

# A package that cannot be had (npm offline, an empty cache): the fetch names it and its version
# and keeps nothing.
sed 's/^package nodejieba [^ ]*/package nodejieba 0.0.0-none/' "$lock" >"$work/missing.lock"
mkdir "$work/cache"
cp -r "$data/opencc-"* "$work/cache/"
if out=$(LUMO_CHAIN_LOCK="$work/missing.lock" LUMO_CACHE_DIR="$work/cache" npm_config_offline=true \
  "$root/scripts/fetch-data.sh" 2>&1 </dev/null); then
  fail "the fetch of a package that cannot be had succeeded"
fi
grep -qF "nodejieba@0.0.0-none" <<<"$out" || fail "the fetch's message names no package and version: $out"
[[ ! -e "$work/cache/nodejieba-0.0.0-none" ]] || fail "the fetch kept something of a package it could not get"
echo "chain data checks: ok"
