#!/usr/bin/env bash
# Sets up, builds and starts Lumo.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMO_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
exec "$build/app/lumo" "$@"
