#!/usr/bin/env bash
# The committed icon files are what scripts/make-icon.sh makes from the committed drawing.
# Usage: icon_reproducible_test.sh SOURCE_DIR
set -euo pipefail
src=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$src/scripts/make-icon.sh" "$out"
status=0
while IFS= read -r file; do
  relative=${file#"$out"/}
  if ! cmp -s "$file" "$src/resources/$relative"; then
    echo "resources/$relative differs from a fresh render: run scripts/make-icon.sh and commit" >&2
    status=1
  fi
done < <(find "$out" -type f | sort)
exit $status
