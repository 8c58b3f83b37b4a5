#!/usr/bin/env bash
# Fails, naming each file, when a C++ file of the project differs from what clang-format writes
# with the repository's .clang-format. Usage: format_test.sh SOURCE_DIR [CLANG_FORMAT]
set -euo pipefail
root=$1
clang_format=${2:-clang-format}
cd "$root"
status=0
while IFS= read -r -d '' file; do
  if ! "$clang_format" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (run: clang-format -i $file)" >&2
    status=1
  fi
done < <(find app conversion platform palettes resources tests bench fuzz \
  -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.cpp.in' \) -print0 | sort -z)
exit $status
