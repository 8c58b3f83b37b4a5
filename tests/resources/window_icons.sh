# Shell helpers for the X11 tests: find a process's windows and read their _NET_WM_ICON.
# Sourced, not run. Needs DISPLAY, xdotool and xprop.

# The icon sizes every window must carry: the program icon's images.
lumo_icon_sizes=(16 24 32 48 100)

# lumo_wait_windows PID COUNT [SECONDS]: prints the ids of PID's visible windows once there are
# at least COUNT of them; fails if PID ends or the time runs out first.
lumo_wait_windows() {
  local pid=$1 count=$2 seconds=${3:-30} ids
  for ((tick = 0; tick < seconds * 5; tick++)); do
    ids=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true)
    if [[ -n $ids ]] && (($(wc -l <<<"$ids") >= count)); then
      echo "$ids"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || { echo "process $pid ended without showing $count window(s)" >&2; return 1; }
    sleep 0.2
  done
  echo "process $pid showed no $count visible window(s) in ${seconds}s" >&2
  return 1
}

# lumo_check_icon WINDOW: the window's _NET_WM_ICON holds each of the program icon's sizes.
lumo_check_icon() {
  local window=$1 property size ok=0
  property=$(xprop -id "$window" _NET_WM_ICON WM_CLASS _NET_WM_NAME 2>&1)
  for size in "${lumo_icon_sizes[@]}"; do
    if ! grep -q "Icon ($size x $size):" <<<"$property"; then
      echo "window $window: no ${size}x${size} image in _NET_WM_ICON" >&2
      ok=1
    fi
  done
  grep -E '^(WM_CLASS|_NET_WM_NAME)' <<<"$property" | sed "s/^/window $window: /" >&2
  return $ok
}
