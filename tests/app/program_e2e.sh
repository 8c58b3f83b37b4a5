#!/usr/bin/env bash
# The whole program on a real X server: paste a Simplified text into the main
# window, press Alt+F, dismiss the tip, and read the result from the X clipboard.
# Usage (under xvfb-run): program_e2e.sh path/to/lumo
set -euo pipefail
lumo="$1"
export QT_QPA_PLATFORM=xcb

fail() { echo "FAIL: $*" >&2; exit 1; }

"$lumo" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name 'lumo\.example' 2>/dev/null | head -n1 || true)
  [[ -n "$window" ]] && break
  sleep 0.1
done
[[ -n "$window" ]] || fail "the main window did not appear"

# convert() PASTED TICK EXPECTED: one conversion through the keyboard alone.
convert() {
  local input="$1" expected="$2" tip="$3"
  printf '%s' "$input" | xclip -i -selection clipboard
  xdotool windowfocus --sync "$window"
  sleep 0.3
  xdotool key --clearmodifiers ctrl+a ctrl+v
  sleep 0.3
  xdotool key --clearmodifiers alt+f
  sleep 0.8
  if [[ "$tip" == yes ]]; then
    # The first conversion of the run shows the tip; Enter closes it.
    local box
    box=$(xdotool search --onlyvisible --name '温馨提示' | head -n1 || true)
    [[ -n "$box" ]] || fail "no tip after the first conversion"
    xdotool windowfocus --sync "$box"
    xdotool key --clearmodifiers Return
    sleep 0.5
  elif xdotool search --onlyvisible --name '温馨提示' >/dev/null 2>&1; then
    fail "a second tip"
  fi
  local got
  got=$(timeout 10 xclip -o -selection clipboard)
  [[ "$got" == "$expected" ]] || fail "clipboard holds '$got', expected '$expected'"
}

convert '我们的' 'ωǒ們dé' yes
convert '2010' '⒉0.⒈0.' no

kill -0 $pid 2>/dev/null || fail "the program ended"
echo "end-to-end: ok"
