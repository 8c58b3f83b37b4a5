#!/usr/bin/env bash
# Fetches the packages that zhconv/chain.lock pins (the conversion's dictionaries and word list)
# into a cache outside the source tree, one folder per package (NAME-VERSION/package/...), and
# prints the cache folder. Nothing is extracted or read before a package's sha512 matches the
# pinned integrity; only the files the lock names are kept. Safe to run again: a verified copy is
# reused.
#   cache: $LUMO_CACHE_DIR, else $XDG_CACHE_HOME/lumo, else ~/.cache/lumo
#   lock:  $LUMO_CHAIN_LOCK, else zhconv/chain.lock (tests use another)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lock="${LUMO_CHAIN_LOCK:-$root/zhconv/chain.lock}"
cache="${LUMO_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/lumo}"

fail() {
  echo "fetch-data: $*" >&2
  exit 1
}

# fetch NAME VERSION INTEGRITY PATH...
fetch() {
  local name=$1 version=$2 integrity=$3
  shift 3
  local dest="$cache/$name-$version" pkg="$name@$version" work tarball actual path
  if [[ -f "$dest/integrity" && "$(cat "$dest/integrity")" == "$integrity" ]]; then
    local missing=0
    for path in "$@"; do [[ -f "$dest/package/$path" ]] || missing=1; done
    ((missing)) || return 0
  fi
  command -v npm >/dev/null || fail "$pkg: npm is not installed (scripts/setup.sh installs it)"
  # npm (Node.js) trusts its own certificate list only; add the system's store unless told otherwise.
  if [[ -z "${NODE_EXTRA_CA_CERTS:-}" && -r /etc/ssl/certs/ca-certificates.crt ]]; then
    export NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt
  fi
  mkdir -p "$cache"
  work="$(mktemp -d "$cache/.fetch.XXXXXX")"
  # shellcheck disable=SC2064
  trap "rm -rf '$work'" RETURN
  if ! (cd "$work" && npm pack --silent "$pkg" >"$work/pack.log" 2>&1); then
    sed 's/^/  /' "$work/pack.log" >&2
    fail "$pkg: cannot fetch the package through npm's configured registry"
  fi
  tarball="$work/$name-$version.tgz"
  [[ -f "$tarball" ]] || fail "$pkg: npm did not write $name-$version.tgz"
  actual="$(python3 -c 'import base64, hashlib, sys
print("sha512-" + base64.b64encode(hashlib.sha512(open(sys.argv[1], "rb").read()).digest()).decode())' "$tarball")"
  [[ "$actual" == "$integrity" ]] ||
    fail "$pkg: integrity check failed: expected $integrity, got $actual; nothing was kept"
  mkdir "$work/x"
  tar -xzf "$tarball" -C "$work/x" "${@/#/package/}" ||
    fail "$pkg: the package lacks a file that zhconv/chain.lock names"
  echo "$integrity" >"$work/x/integrity"
  rm -rf "$dest"
  mv "$work/x" "$dest"
}

declare -A version integrity files
order=()
while read -r step name a b; do
  case $step in
  '' | '#'*) ;;
  package)
    version[$name]=$a integrity[$name]=$b
    order+=("$name")
    ;;
  *) files[$name]+="$a " ;;
  esac
done <"$lock"
for name in "${order[@]}"; do
  # shellcheck disable=SC2086
  fetch "$name" "${version[$name]}" "${integrity[$name]}" ${files[$name]:-}
done
echo "$cache"
