#!/usr/bin/env bash
# The desktop entry, AppStream metadata and man pages pass their own validators.
# Usage: metadata_test.sh DESKTOP_FILE METAINFO_FILE MAN_PAGE...
set -euo pipefail
desktop=$1 metainfo=$2
shift 2
status=0

desktop-file-validate "$desktop" || status=1
# Infos and pedantic hints print but pass; warnings and errors fail.
appstreamcli validate --no-net --no-color "$metainfo" || status=1
# man prints groff's warnings (bad macros, unknown escapes) on standard error.
for manpage in "$@"; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manpage" 2>&1 >/dev/null)
  if [[ -n $warnings ]]; then
    echo "$manpage: $warnings" >&2
    status=1
  fi
done
exit $status
