#!/usr/bin/env bash
# Proves the Debian package on a bare system: makes a throwaway Debian 12 root (debootstrap,
# minbase), installs the package there with apt (which must resolve every dependency from the
# archive), converts a text with lumo-convert, starts lumo under xvfb-run and looks for its main
# window, then purges the package and checks that none of its files is left.
#
# Usage: sudo scripts/try-package.sh [PACKAGE.deb]   (default: the newest build/lumo_*.deb)
# Takes several minutes and downloads about 200 MB; not part of the normal test run.
# Needs root (debootstrap, chroot, mount). The Debian mirror is the one this machine's apt uses.
# LUMO_TRY_KEEP=1 keeps the root afterwards; LUMO_TRY_ROOT=DIR puts it in DIR (must not exist).
set -euo pipefail
root_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deb="${1:-$(ls -t "$root_dir"/build/lumo_*.deb 2>/dev/null | head -n 1)}"
[[ -f $deb ]] || { echo "try-package: no package; run scripts/package.sh first" >&2; exit 2; }
[[ $(id -u) == 0 ]] || { echo "try-package: run as root (debootstrap and chroot need it)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "try-package: install debootstrap (scripts/setup.sh does)" >&2; exit 2; }

suite=bookworm
# The machine's own Debian sources, as apt itself reads them (one-line or deb822 files alike):
# "URI RELEASE COMPONENT" for the suite and its updates and security suites.
mapfile -t sources < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
  'Identifier: Packages' | awk -v s="$suite" '$2 == s || index($2, s "-") == 1' | sort -u)
mirror=$(printf '%s\n' "${sources[@]}" | awk -v s="$suite" '$2 == s { print $1; exit }')
[[ -n $mirror ]] || { echo "try-package: apt knows no $suite mirror here (run apt-get update?)" >&2; exit 2; }

if [[ -n ${LUMO_TRY_ROOT:-} ]]; then
  chroot_dir=$LUMO_TRY_ROOT
  mkdir "$chroot_dir"
else
  chroot_dir=$(mktemp -d "${TMPDIR:-/var/tmp}/lumo-try.XXXXXX")
fi
chmod 755 "$chroot_dir" # apt downloads as the user _apt
mounted=()
cleanup() {
  local status=$?
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  if [[ ${LUMO_TRY_KEEP:-0} == 1 ]]; then
    echo "try-package: root kept in $chroot_dir" >&2
  else
    rm -rf --one-file-system "$chroot_dir"
  fi
  exit $status
}
trap cleanup EXIT
step() { echo "== $*" >&2; }
fail() { echo "try-package: FAIL: $*" >&2; exit 1; }
in_root() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

step "debootstrap --variant=minbase $suite from $mirror"
debootstrap --variant=minbase "$suite" "$chroot_dir" "$mirror" >"$chroot_dir.debootstrap.log" 2>&1 \
  || { tail -n 20 "$chroot_dir.debootstrap.log" >&2; rm -f "$chroot_dir.debootstrap.log"; fail "debootstrap"; }
rm -f "$chroot_dir.debootstrap.log"
for fs in proc sys dev; do
  mount --bind "/$fs" "$chroot_dir/$fs"
  mounted+=("$chroot_dir/$fs")
done
printf 'deb %s %s %s\n' $(printf '%s\n' "${sources[@]}") >"$chroot_dir/etc/apt/sources.list"
in_root apt-get update -qq

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
