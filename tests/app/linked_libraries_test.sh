#!/usr/bin/env bash
# What each program loads before main(): every library costs every start. The window program
# leaves Qt Network (and the TLS, Kerberos and proxy libraries it brings) to the advert panel's
# module, opened after the first paint; the command-line converter needs no Qt, ICU or OpenCC,
# and with --static-runtime (builds without sanitizers) carries its C++ runtime itself.
# Usage: linked_libraries_test.sh LUMO LUMO_CONVERT [--static-runtime]
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }

lumo=$(needed "$1")
grep -q '^libQt6Widgets' <<<"$lumo" || fail "cannot read what $1 links: $lumo"
! grep -q '^libQt6Network' <<<"$lumo" || fail "lumo links Qt Network: $(paste -sd ' ' <<<"$lumo")"

convert=$(needed "$2")
! grep -qE '^lib(Qt6|icu|opencc|marisa)' <<<"$convert" || fail "lumo-convert links $(paste -sd ' ' <<<"$convert")"
if [[ ${3:-} == --static-runtime ]]; then
  ! grep -qE '^lib(stdc\+\+|gcc_s)' <<<"$convert" || fail "lumo-convert loads the shared C++ runtime: $(paste -sd ' ' <<<"$convert")"
fi
echo "linked libraries OK"
