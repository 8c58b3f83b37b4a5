#!/usr/bin/env bash
# End to end from an installed tree: `cmake --install` into a temporary prefix, validate what a
# desktop reads there, convert a file with the installed lumo-convert, and start the installed lumo
# under X: its windows, and the message box of a second copy, carry the program icon.
# Usage (under xvfb-run): installed_tree_e2e.sh CMAKE BUILD_DIR APP_ID MODULE_DIR
set -euo pipefail
cmake=$1 build=$2 app_id=$3 module_dir=$4
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/window_icons.sh"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
prefix="$work/prefix"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

# What the install puts where a desktop looks.
share="$prefix/share"
expected=(
  "bin/lumo" "bin/lumo-convert" "$module_dir/liblumo-webfetch.so"
  "share/applications/$app_id.desktop"
  "share/metainfo/$app_id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  "share/man/man1/lumo.1.gz" "share/man/man1/lumo-convert.1.gz"
  "share/doc/lumo/copyright" "share/doc/lumo/changelog.gz" "share/doc/lumo/LICENSE.opencc" "share/doc/lumo/LICENSE.nodejieba"
)
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  [[ -f $prefix/$file ]] || fail "not installed: $file"
done
[[ -x $prefix/bin/lumo && -x $prefix/bin/lumo-convert ]] || fail "programs not executable"
for size in 16 24 32 48 64 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  read -r width height < <(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' "$png")
  [[ $width == "$size" && $height == "$size" ]] || fail "$png is ${width}x${height}"
done
"$here/metadata_test.sh" "$share/applications/$app_id.desktop" "$share/metainfo/$app_id.metainfo.xml" \
  "$share/man/man1/lumo.1.gz" "$share/man/man1/lumo-convert.1.gz" || fail "installed metadata does not validate"
desktop="$share/applications/$app_id.desktop"
grep -qx "Icon=$app_id" "$desktop" || fail "desktop entry names another icon"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $prefix/bin/$exec_name ]] || fail "desktop entry runs $exec_name, which is not installed"

# The installed converter.
convert="$prefix/bin/lumo-convert"
printf '我们的签名\n' >"$work/in.txt"
"$convert" --version | grep -q '2\.5\.0\.16' || fail "lumo-convert --version"
plain=$("$convert" --plain "$work/in.txt") || fail "lumo-convert --plain exited $?"
[[ $plain == 我們的簽名 ]] || fail "lumo-convert --plain gave '$plain', want 我們的簽名"
personalised=$("$convert" "$work/in.txt") || fail "lumo-convert exited $?"
[[ $personalised == ωǒ們dé* ]] || fail "lumo-convert gave '$personalised', want ωǒ們dé… (personalised 我, 的)"
# The man page documents every option that --help lists.
zcat "$share/man/man1/lumo-convert.1.gz" >"$work/lumo-convert.1"
for option in $("$convert" --help | grep -oE '(^|[[:space:]])--[a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" "$work/lumo-convert.1" || fail "the man page does not document $option"
done
printf 'ok\xff\n' >"$work/bad.txt"
set +e
"$convert" "$work/bad.txt" >"$work/bad.out" 2>"$work/bad.err"
code=$?
set -e
[[ $code == 2 ]] || fail "invalid UTF-8: exit $code, want 2"
[[ ! -s $work/bad.out ]] || fail "invalid UTF-8: wrote output"
[[ $(wc -l <"$work/bad.err") == 1 ]] || fail "invalid UTF-8: want a one-line error, got: $(cat "$work/bad.err")"

# The installed window program, with a private runtime directory for its single-instance lock.
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# start_lumo WHAT: starts the installed program; every window it shows must carry the icon.
start_lumo() {
  "$prefix/bin/lumo" 2>"$work/lumo-${#pids[@]}.err" &
  pids+=($!)
  windows=$(lumo_wait_windows "$!" 1) || fail "$1 showed no window"
  for window in $windows; do
    lumo_check_icon "$window" || fail "a window of $1 lacks the program icon"
  done
}
start_lumo "lumo"
# Task bars group the windows under the desktop entry whose StartupWMClass is the WM_CLASS instance.
wm_class=$(xprop -id "${windows%%$'\n'*}" WM_CLASS)
wm_instance=$(sed -n 's/^WM_CLASS(STRING) = "\([^"]*\)".*/\1/p' <<<"$wm_class")
grep -qx "StartupWMClass=$wm_instance" "$desktop" || fail "WM_CLASS instance '$wm_instance' matches no StartupWMClass"
# Once the window is drawn, the advert panel opens the installed network module (the advert
# itself cannot load here: its host does not resolve).
module="$prefix/$module_dir/liblumo-webfetch.so"
for _ in {1..50}; do
  grep -qF "$module" "/proc/${pids[0]}/maps" && break
  sleep 0.1
done
grep -qF "$module" "/proc/${pids[0]}/maps" || fail "lumo did not open $module: $(cat "$work/lumo-0.err")"
# A second copy only says so in a message box; that box carries the icon as well.
start_lumo "a second lumo"
echo "installed tree OK"
