#!/usr/bin/env bash
# Fails, naming each file, when a C++ file of the project differs from what clang-format writes
# with the repository's .clang-format. Usage: format_test.sh SOURCE_DIR [CLANG_FORMAT]
set -euo pipefail
root=$1
clang_format=${2:-clang-format}
cd "$root"
# One clang-format version decides the house format (.clang-format names it); another version
# would flag lines it merely wraps differently, so the check is skipped there (exit 77).
house=$(sed -n 's/^# HouseVersion: *\([0-9]*\)$/\1/p' .clang-format)
[[ -n $house ]] || { echo "format_test: .clang-format names no HouseVersion" >&2; exit 1; }
version=$("$clang_format" --version | sed -n 's/.*clang-format version \([0-9]*\)\..*/\1/p')
if [[ $version != "$house" ]]; then
  echo "skipped: the house format is clang-format $house's; $clang_format is version ${version:-unknown}"
  exit 77
fi
echo "checking with clang-format $version, the house version"
status=0
while IFS= read -r -d '' file; do
  if ! "$clang_format" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (run: clang-format -i $file)" >&2
    status=1
  fi
done < <(find app conversion platform palettes resources tests bench fuzz zhconv tools \
  -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.cpp.in' \) -print0 | sort -z)
exit $status
