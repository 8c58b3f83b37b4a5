#!/usr/bin/env bash
# Tries the project as a new user would on a bare Debian system of another release: makes a
# throwaway minbase root of RELEASE (12 or 13) from this machine's own Debian mirrors, copies the
# working tree into it (what git tracks, and new files it does not ignore), and there, as root
# with no standard input:
#   1. runs the README's test command, ./scripts/test.sh (set-up, build, every test);
#   2. runs ./scripts/test-sanitizers.sh (ASan and UBSan);
#   3. runs the README's run command, ./scripts/run.sh, under xvfb-run and waits for the window;
#   4. with --package, builds the package (./scripts/package.sh) and copies it out into
#      build/release-<codename>/ (or $LUMO_RELEASE_OUT).
# The root is unmounted and deleted afterwards on every path (scripts/lib/debian-root.sh).
#
# Usage: sudo scripts/test-release.sh RELEASE [--package] [--no-sanitizers]
# Takes 15 to 25 minutes on 2 cores and downloads about 1 GB; `.ci/run` runs it for Debian 13.
set -euo pipefail
root_script=test-release
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=lib/debian-root.sh
source "$source_dir/scripts/lib/debian-root.sh"

release=${1:-}
[[ -n $release && $release != -* ]] || { echo "usage: $0 RELEASE [--package] [--no-sanitizers]" >&2; exit 2; }
shift
package=0 sanitizers=1
for arg in "$@"; do
  case $arg in
  --package) package=1 ;;
  --no-sanitizers) sanitizers=0 ;;
  *) echo "test-release: unknown option $arg" >&2; exit 2 ;;
  esac
done

started=$SECONDS
debian_root_begin "$release" test
tree=/root/lumo
root_step "copy the working tree to $tree"
mkdir -p "$ROOT_DIR$tree"
git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
  (cd "$source_dir" && xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh) |
  tar -C "$source_dir" --null -T - -cf - | tar -C "$ROOT_DIR$tree" -xf -

timed() {
  local label=$1 begin=$SECONDS
  shift
  root_step "$label"
  "$@" </dev/null || root_fail "$label"
  echo "   ($label: $((SECONDS - begin)) s)" >&2
}
timed "./scripts/test.sh on $ROOT_SUITE" in_root sh -c "cd $tree && ./scripts/test.sh"
if ((sanitizers)); then
  timed "./scripts/test-sanitizers.sh on $ROOT_SUITE" in_root sh -c "cd $tree && ./scripts/test-sanitizers.sh"
fi

# The run command starts the program; it passes when the main window (WM_CLASS instance "lumo",
# client area 460x271) is mapped and nothing is written to standard error.
cat >"$ROOT_DIR/tmp/see-window.sh" <<'SCRIPT'
set -u
export XDG_RUNTIME_DIR=/tmp/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
cd "$1"
./scripts/run.sh >/tmp/run.out 2>/tmp/run.err &
pid=$!
for _ in $(seq 600); do
  if xwininfo -root -tree | grep -E '\("lumo" "[^"]*"\)  *460x271'; then
    pkill -x lumo; wait "$pid" 2>/dev/null
    grep -v '^setup: ' /tmp/run.err | grep . && { echo "run.sh wrote to standard error"; exit 1; }
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || { echo "run.sh ended early:"; cat /tmp/run.err; exit 1; }
  sleep 0.2
done
echo "no main window among:"; xwininfo -root -tree; pkill -x lumo; exit 1
SCRIPT
timed "./scripts/run.sh under xvfb-run on $ROOT_SUITE" \
  in_root xvfb-run -a -s '-screen 0 1024x768x24' sh /tmp/see-window.sh "$tree"

if ((package)); then
  out="${LUMO_RELEASE_OUT:-$source_dir/build/release-$ROOT_SUITE}"
  timed "./scripts/package.sh on $ROOT_SUITE" in_root sh -c "cd $tree && ./scripts/package.sh"
  mkdir -p "$out"
  cp "$ROOT_DIR$tree"/build/lumo_*.deb "$out/"
  echo "package: $(ls "$out"/lumo_*.deb)" >&2
fi
echo "test-release: OK on $ROOT_SUITE in $((SECONDS - started)) s" >&2
