#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running Lumo need.
# Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libicu-dev
  libopencc-dev libopencc-data opencc
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm-14
  xvfb xauth xdotool xclip x11-utils imagemagick
  fonts-wqy-microhei fonts-dejavu-extra
  desktop-file-utils appstream librsvg2-bin man-db
  hyperfine time python3 dbus
  qt6-wayland weston wl-clipboard libweston-10-dev
  lintian debootstrap file fonts-arphic-uming
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
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
