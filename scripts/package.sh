#!/usr/bin/env bash
# Builds the Debian package: sets up, builds the programs in Release with Debian's hardening
# flags in build/package/ (or $LUMO_PACKAGE_BUILD_DIR), runs CPack, checks the result with
# lintian and leaves lumo_<version>_<arch>.deb in build/ (or $LUMO_PACKAGE_DIR).
# Install it with: sudo apt install ./build/lumo_*.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMO_PACKAGE_BUILD_DIR:-$root/build/package}"
out="${LUMO_PACKAGE_DIR:-$root/build}"
"$root/scripts/setup.sh"

# The flags Debian builds its own packages with (fortify, stack protector, relro, bind now).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Given explicitly: CMake reads CXXFLAGS from the environment only when it first configures, and
# never reads CPPFLAGS, where _FORTIFY_SOURCE lives.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" -DCMAKE_MODULE_LINKER_FLAGS="$LDFLAGS" \
  -DLUMO_BUILD_TESTS=OFF -DLUMO_BUILD_BENCHMARKS=OFF -DLUMO_BUILD_FUZZERS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

mkdir -p "$out"
rm -f "$build"/cpack/lumo_*.deb
(cd "$build" && cpack -G DEB -B "$build/cpack" >/dev/null)
deb=$(find "$build/cpack" -maxdepth 1 -name 'lumo_*.deb' | head -n 1)
[[ -n $deb ]] || { echo "package: CPack wrote no package" >&2; exit 1; }
cp "$deb" "$out/"
deb="$out/$(basename "$deb")"

# Errors fail the build; warnings are printed.
lintian --fail-on error "$deb"
echo "$deb"
