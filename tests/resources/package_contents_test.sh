#!/usr/bin/env bash
# The Debian package made from a build: CPack writes it into a temporary folder, and its control
# fields and file list are checked (scripts/try-package.sh installs one on a bare system).
# Usage: package_contents_test.sh CPACK BUILD_DIR APP_ID MODULE_DIR
set -euo pipefail
cpack=$1 build=$2 app_id=$3 module_dir=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/lumo_*.deb)
((${#debs[@]} == 1)) && [[ -f ${debs[0]} ]] || fail "cpack wrote no lumo_*.deb: $(ls "$work")"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == "lumo_2.5.0.16_$arch.deb" ]] || fail "package file named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == lumo ]] || fail "Package: $(field Package)"
[[ $(field Version) == 2.5.0.16 ]] || fail "Version: $(field Version)"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture: $(field Architecture)"
[[ $(field Section) == utils ]] || fail "Section: $(field Section)"
[[ $(field Priority) == optional ]] || fail "Priority: $(field Priority)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
# A one-line synopsis and a one-paragraph description, every line within 80 columns.
description=$(field Description)
[[ $(head -n 1 <<<"$description") == "Turn Simplified Chinese into eye-catching Traditional Chinese" ]] \
  || fail "synopsis: $(head -n 1 <<<"$description")"
(($(wc -l <<<"$description") >= 3)) || fail "no extended description"
! grep -qx ' \.' <<<"$description" || fail "the description has more than one paragraph"
(($(awk '{ if (length > n) n = length } END { print n }' <<<"$description") <= 80)) || fail "description lines over 80 columns"

# Depends: the libraries dpkg-shlibdeps found, and the two Qt platform plugins no library pulls in.
depends=$(field Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for package in qt6-qpa-plugins qt6-wayland libc6 libqt6widgets6 libqt6gui6; do
  grep -qx "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done
# ICU's package is named after its soname, which each release moves (libicu72, libicu76).
grep -qE '^libicu[0-9]+$' <<<"$names" || fail "Depends lacks ICU's libicuNN: $depends"
# The conversion's data is built into the programs, so no dictionary package is needed.
! grep -qE '^(libopencc-data|opencc-data|opencc)$' <<<"$names" || fail "Depends names a dictionary package: $depends"
recommends=$(tr ',' '\n' <<<"$(field Recommends)" | sed 's/^ *//; s/ .*//' | sort | paste -sd ' ')
[[ $recommends == "fcitx5-frontend-qt6 fonts-arphic-uming fonts-wqy-microhei" ]] || fail "Recommends: $(field Recommends)"
# Typing Chinese: the input methods are suggested, never pulled in.
[[ $(field Suggests) == "fcitx5-pinyin | ibus-libpinyin" ]] || fail "Suggests: $(field Suggests)"
! grep -qE '^(fcitx5|ibus|fcitx5-pinyin|ibus-libpinyin)$' <<<"$names" || fail "Depends names an input method: $depends"

# The files, their modes and owners. More documentation (licence texts) may join usr/share/doc/lumo/.
expected=(
  "-rwxr-xr-x ./usr/bin/lumo" "-rwxr-xr-x ./usr/bin/lumo-convert"
  "-rw-r--r-- ./usr/$module_dir/liblumo-webfetch.so"
  "-rw-r--r-- ./usr/share/applications/$app_id.desktop"
  "-rw-r--r-- ./usr/share/metainfo/$app_id.metainfo.xml"
  "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  "-rw-r--r-- ./usr/share/man/man1/lumo.1.gz" "-rw-r--r-- ./usr/share/man/man1/lumo-convert.1.gz"
  "-rw-r--r-- ./usr/share/doc/lumo/copyright" "-rw-r--r-- ./usr/share/doc/lumo/changelog.gz"
)
for size in 16 24 32 48 64 128 256; do
  expected+=("-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
dpkg-deb -c "$deb" >"$work/contents"
awk '{ print $1, $6 }' "$work/contents" | grep -v '^d' | sort >"$work/files"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
missing=$(comm -13 "$work/files" "$work/expected")
[[ -z $missing ]] || fail "missing from the package (or with another mode): $missing"
extra=$(comm -23 "$work/files" "$work/expected" | grep -v ' \./usr/share/doc/lumo/' || true)
[[ -z $extra ]] || fail "unexpected in the package: $extra"
awk '$2 != "root/root" { print }' "$work/contents" | grep . && fail "files not owned by root" || true
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print }' "$work/contents" | grep . && fail "directories not 0755" || true
# The programs are stripped, as Debian strips them: no debug information, no compiler comment.
dpkg-deb -x "$deb" "$work/root"
for program in bin/lumo bin/lumo-convert "$module_dir/liblumo-webfetch.so"; do
  readelf -S "$work/root/usr/$program" >"$work/sections"
  ! grep -qE '\.debug_info|\.comment' "$work/sections" || fail "$program is not stripped"
done

# A machine-readable copyright file that names each licence shipped, the built-in OpenCC data's too.
copyright="$work/root/usr/share/doc/lumo/copyright"
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  || fail "copyright is not in the machine-readable format"
grep -qx 'License: Apache-2.0' "$copyright" || fail "copyright lacks the Apache-2.0 licence of the OpenCC data"
grep -q '/usr/share/common-licenses/Apache-2.0' "$copyright" || fail "copyright does not point to common-licenses"
zcat "$work/root/usr/share/doc/lumo/changelog.gz" | head -n 1 | grep -q '^lumo (2\.5\.0\.16) ' \
  || fail "changelog does not start with this version"
echo "package OK: $(basename "$deb")"
