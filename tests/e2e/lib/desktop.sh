# Shared by the end-to-end scripts: a work folder and the processes to end
# when the script does, openbox, and waits on windows. Sourced after
# `set -euo pipefail`; every wait is on a condition, never a fixed time.
# Without the tools or a display the script is skipped (exit 77).
for tool in openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
[[ -n ${DISPLAY:-} ]] || { echo "no display: skipped"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state

# Runs the command until it succeeds, for up to `limit` seconds (10 unless
# set); false if it never did.
wait_until() {
  local deadline=$((SECONDS + ${limit:-10}))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

openbox >/dev/null 2>&1 &
pids+=($!)
# The window manager is up once it answers for the desktops.
wait_until xdotool get_desktop >/dev/null 2>&1 || { echo "FAIL: openbox did not start"; exit 1; }

# Prints the first visible window whose title matches; false if none.
find_window() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [[ -n $id ]] && echo "$id"
}
# Waits for a visible window whose title matches and prints it.
wait_window() {
  local pattern=$1 id
  wait_until eval 'id=$(find_window "$pattern")' && echo "$id"
}
# The number of visible windows of the program $app (a menu that opens is one).
visible_windows() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l; }
exited() { ! kill -0 "$1" 2>/dev/null; }
active_is() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
# Leaves the program by the keyboard: Alt+F, then X once the menu is open.
menu_exit() {
  local before
  before=$(visible_windows)
  xdotool key --clearmodifiers alt+f
  wait_until eval '(($(visible_windows) > before))' || { echo "FAIL: Alt+F opened no menu"; exit 1; }
  xdotool key x
}
