#!/usr/bin/env bash
# Builds the libraries and tests with AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of their own (build-sanitize/, or $LUMO_SANITIZE_BUILD_DIR) and runs every test that needs
# no X server there. Any sanitizer report fails the run. Extra arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMO_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMO_SANITIZE=address,undefined \
  -DLUMO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
# halt_on_error and no recovery: the first report ends the test with a failure.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/common/sanitizer-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --label-exclude xvfb "$@"
