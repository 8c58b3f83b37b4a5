# shellcheck shell=bash
# Throwaway Debian roots, for trying Lumo on a bare system of either release. Sourced by
# scripts/test-release.sh and scripts/try-package.sh; needs root (debootstrap, chroot, mount).
#
#   debian_root_begin RELEASE NAME   makes a bare minbase root of RELEASE (12, 13 or a codename)
#                                    from this machine's own Debian mirrors and mounts /proc, /sys
#                                    and /dev in it; sets ROOT_DIR and ROOT_SUITE
#   in_root COMMAND...               runs COMMAND in the root as root, with a clean environment
#
# The root is unmounted and deleted when the calling script exits, however it exits (a signal
# included); LUMO_ROOT_KEEP=1 keeps it. The bare root that debootstrap writes is cached as a
# tarball in ${LUMO_CACHE_DIR:-~/.cache/lumo}/roots for a week (LUMO_ROOT_CACHE=0: no cache);
# everything after it (apt's lists, upgrades, packages) is fetched afresh every time.

ROOT_DIR=
ROOT_SUITE=
root_mounts=()

root_step() { echo "== $*" >&2; }
root_fail() {
  echo "${root_script:-debian-root}: FAIL: $*" >&2
  exit 1
}

# 12 and 13 by number, anything else as a codename.
debian_suite() {
  case $1 in
  12 | bookworm) echo bookworm ;;
  13 | trixie) echo trixie ;;
  *) echo "$1" ;;
  esac
}

# "URI SUITE COMPONENT" for SUITE and its -updates and -security suites: the mirrors and
# components that this machine's apt uses for its own release, as apt itself reads its sources
# (one-line or deb822 files alike), with the suite names moved to SUITE.
debian_root_sources() {
  local suite=$1 own
  own=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [[ -n $own ]] || root_fail "this machine's /etc/os-release names no release"
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
    awk -v own="$own" -v s="$suite" '
      $2 == own || $2 == own "-updates" || $2 == own "-security" { sub("^" own, s, $2); print }' |
    sort -u
}

root_cleanup() {
  local status=$? i
  trap - EXIT INT TERM HUP
  for ((i = ${#root_mounts[@]} - 1; i >= 0; i--)); do
    umount -R "${root_mounts[i]}" 2>/dev/null || umount -R -l "${root_mounts[i]}" 2>/dev/null || true
  done
  # Whatever else was mounted inside (debootstrap's own /proc when it was interrupted), deepest first.
  if [[ -n $ROOT_DIR ]]; then
    awk -v d="$ROOT_DIR/" 'index($2, d) == 1 { print $2 }' /proc/self/mounts | sort -r |
      while read -r m; do umount -l "$m" 2>/dev/null || true; done
  fi
  if [[ -n $ROOT_DIR && -d $ROOT_DIR ]]; then
    if [[ ${LUMO_ROOT_KEEP:-0} == 1 ]]; then
      echo "${root_script:-debian-root}: root kept in $ROOT_DIR" >&2
    elif grep -qF " $ROOT_DIR/" /proc/self/mounts; then
      echo "${root_script:-debian-root}: $ROOT_DIR still has mounts; not deleted" >&2
      status=1
    else
      rm -rf --one-file-system "$ROOT_DIR"
    fi
  fi
  exit "$status"
}

debian_root_begin() {
  local release=$1 name=$2 mirror cache tarball
  [[ $(id -u) == 0 ]] || root_fail "run as root (debootstrap, chroot and mount need it)"
  command -v debootstrap >/dev/null || root_fail "install debootstrap (scripts/setup.sh does)"
  ROOT_SUITE=$(debian_suite "$release")
  mapfile -t root_sources < <(debian_root_sources "$ROOT_SUITE")
  mirror=$(printf '%s\n' "${root_sources[@]}" | awk -v s="$ROOT_SUITE" '$2 == s { print $1; exit }')
  [[ -n $mirror ]] || root_fail "apt knows no Debian mirror here to take $ROOT_SUITE from"

  trap root_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
  ROOT_DIR=$(mktemp -d "${TMPDIR:-/var/tmp}/lumo-$name-$ROOT_SUITE.XXXXXX")
  chmod 755 "$ROOT_DIR" # apt downloads as the user _apt

  cache="${LUMO_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/lumo}/roots"
  tarball="$cache/$ROOT_SUITE-minbase.tar"
  if [[ ${LUMO_ROOT_CACHE:-1} != 0 && -f $tarball && -n $(find "$tarball" -mtime -7) ]]; then
    root_step "bare $ROOT_SUITE root from the cache ($tarball)"
    tar -xpf "$tarball" -C "$ROOT_DIR" || root_fail "cannot unpack $tarball"
  else
    root_step "debootstrap --variant=minbase $ROOT_SUITE from $mirror"
    debootstrap --variant=minbase "$ROOT_SUITE" "$ROOT_DIR" "$mirror" >"$ROOT_DIR.log" 2>&1 ||
      {
        tail -n 20 "$ROOT_DIR.log" >&2
        rm -f "$ROOT_DIR.log"
        root_fail "debootstrap $ROOT_SUITE"
      }
    rm -f "$ROOT_DIR.log"
    if [[ ${LUMO_ROOT_CACHE:-1} != 0 ]]; then
      mkdir -p "$cache"
      tar -cpf "$tarball.part" -C "$ROOT_DIR" . && mv "$tarball.part" "$tarball" || rm -f "$tarball.part"
    fi
  fi

  mount -t proc proc "$ROOT_DIR/proc"
  root_mounts+=("$ROOT_DIR/proc")
  local fs
  for fs in sys dev; do
    mount --rbind "/$fs" "$ROOT_DIR/$fs"
    root_mounts+=("$ROOT_DIR/$fs")
    # Unmounting inside the root must never reach the machine's own mounts.
    mount --make-rslave "$ROOT_DIR/$fs"
  done
  printf 'deb %s %s %s\n' $(printf '%s\n' "${root_sources[@]}") >"$ROOT_DIR/etc/apt/sources.list"
  rm -f "$ROOT_DIR"/etc/apt/sources.list.d/*
  cp /etc/resolv.conf "$ROOT_DIR/etc/resolv.conf" 2>/dev/null || true
  # The machine's own certificate authorities (a network that inspects TLS needs them), so that
  # the root reaches what the machine reaches; ca-certificates adds them when it is installed.
  if compgen -G '/usr/local/share/ca-certificates/*.crt' >/dev/null; then
    mkdir -p "$ROOT_DIR/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$ROOT_DIR/usr/local/share/ca-certificates/"
  fi
  in_root apt-get update -qq </dev/null || root_fail "apt-get update in the $ROOT_SUITE root"
  in_root apt-get upgrade -y -qq </dev/null >/dev/null || root_fail "apt-get upgrade in the $ROOT_SUITE root"
}

in_root() {
  chroot "$ROOT_DIR" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive "$@"
}
