#!/usr/bin/env bash
# Proves the Debian package on a bare system of the release it was built for: makes a throwaway
# minbase root of RELEASE (scripts/lib/debian-root.sh), installs the package there with apt (which
# must resolve every dependency from that release's archive), converts a text with lumo-convert,
# starts lumo under xvfb-run and looks for its main window, then purges the package and checks
# that none of its files is left.
#
# Usage: sudo scripts/try-package.sh RELEASE [PACKAGE.deb]
#   RELEASE: 12 or 13 (or a codename). PACKAGE defaults to the newest build/lumo_*.deb when
#   RELEASE is this machine's own, else to the one scripts/test-release.sh RELEASE --package left
#   in build/release-<codename>/.
# Takes several minutes and downloads about 200 MB; not part of the normal test run.
# LUMO_ROOT_KEEP=1 keeps the root afterwards.
set -euo pipefail
root_script=try-package
root_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=lib/debian-root.sh
source "$root_dir/scripts/lib/debian-root.sh"
release=${1:-}
[[ -n $release ]] || { echo "usage: $0 RELEASE [PACKAGE.deb]" >&2; exit 2; }
suite=$(debian_suite "$release")
if [[ $suite == "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" ]]; then
  default_dir="$root_dir/build"
else
  default_dir="$root_dir/build/release-$suite"
fi
deb="${2:-$(ls -t "$default_dir"/lumo_*.deb 2>/dev/null | head -n 1)}"
[[ -f $deb ]] || { echo "try-package: no package in $default_dir; build one first" >&2; exit 2; }
step() { root_step "$@"; }
fail() { root_fail "$@"; }

debian_root_begin "$release" try
chroot_dir=$ROOT_DIR

step "apt install ./$(basename "$deb")"
cp "$deb" "$chroot_dir/tmp/"
in_root apt-get install -y -qq "/tmp/$(basename "$deb")" >"$chroot_dir/tmp/install.log" 2>&1 \
  || { tail -n 30 "$chroot_dir/tmp/install.log" >&2; fail "apt could not install the package"; }
in_root dpkg-query -W -f='${Status} ${Version}\n' lumo
# The package's own files (not the directories it shares with others), for the purge check.
in_root dpkg -L lumo | while read -r path; do
  [[ -d $chroot_dir$path ]] || echo "$path"
done >"$chroot_dir/tmp/lumo-files"
echo "$(wc -l <"$chroot_dir/tmp/lumo-files") files installed" >&2

step "lumo-convert"
converted=$(printf '我们的签名\n' | in_root lumo-convert --plain) || fail "lumo-convert exited $?"
[[ $converted == 我們的簽名 ]] || fail "lumo-convert gave '$converted'"
echo "我们的签名 -> $converted" >&2

step "lumo under xvfb-run"
in_root apt-get install -y -qq --no-install-recommends xvfb xauth x11-utils >/dev/null 2>&1 \
  || fail "could not install xvfb for the window test"
cat >"$chroot_dir/tmp/see-window.sh" <<'SCRIPT'
set -u
export XDG_RUNTIME_DIR=/tmp/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
lumo 2>/tmp/lumo.err &
pid=$!
for _ in $(seq 100); do
  # The main window: WM_CLASS instance "lumo", its client area 460x271.
  if xwininfo -root -tree | grep -E '\("lumo" "[^"]*"\)  *460x271' ; then
    kill "$pid"; wait "$pid" 2>/dev/null; exit 0
  fi
  kill -0 "$pid" 2>/dev/null || { echo "lumo ended early"; exit 1; }
  sleep 0.1
done
echo "no main window among:"; xwininfo -root -tree; kill "$pid"; exit 1
SCRIPT
in_root xvfb-run -a -s '-screen 0 1024x768x24' sh /tmp/see-window.sh || fail "lumo showed no main window"
[[ ! -s $chroot_dir/tmp/lumo.err ]] && echo "nothing on standard error" >&2 \
  || { echo "lumo's standard error:" >&2; cat "$chroot_dir/tmp/lumo.err" >&2; }

step "apt purge lumo"
in_root apt-get purge -y -qq lumo >/dev/null 2>&1 || fail "apt purge"
left=()
while read -r path; do
  [[ -e $chroot_dir$path || -L $chroot_dir$path ]] && left+=("$path")
done <"$chroot_dir/tmp/lumo-files"
((${#left[@]} == 0)) || fail "left after purge: ${left[*]}"
[[ ! -e $chroot_dir/usr/share/doc/lumo ]] || fail "left after purge: /usr/share/doc/lumo"
in_root dpkg-query -W lumo >/dev/null 2>&1 && fail "dpkg still knows lumo"
echo "try-package: OK: installed with apt, converted, showed its window, purged clean" >&2
