#!/usr/bin/env bash
# The program under a real X server and window manager, driven by keys as a
# person would: leaving with Alt+F, X asks nothing after a look around, and
# asks "Save Changes ?" after a card was renamed, and Yes saves the new name.
# Usage: keyboard_exit.sh TESSEL SAMPLE   (run inside xvfb-run; exit 77 = skipped)
set -euo pipefail
tessel=$1
sample=$2
source "$(dirname "$0")/x_session.bash"

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
# The number of visible windows of the program (a menu that opens is one).
visible_windows() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l; }
exited() { ! kill -0 "$1" 2>/dev/null; }
# Waits for a process to end; its status in $status.
wait_exit() {
  wait_until exited "$1" || return 1
  wait "$1" && status=0 || status=$?
}
active_is() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
start() {
  "$tessel" "$work/cards.tsl" >/dev/null 2>&1 &
  app=$!
  pids+=("$app")
  main=$(wait_window "^Tessel - ") || { echo "FAIL: no main window"; exit 1; }
  xdotool windowactivate --sync "$main"
  wait_until active_is "$main" || { echo "FAIL: the main window did not become active"; exit 1; }
}
menu_exit() {
  local before
  before=$(visible_windows)
  xdotool key --clearmodifiers alt+f
  # The File menu must be open before X means Exit.
  wait_until eval '(($(visible_windows) > before))' || { echo "FAIL: Alt+F opened no menu"; exit 1; }
  xdotool key x
}

# 1. Look around (Next, Previous), then leave by the keyboard: no question.
start
xdotool key F8 F9
menu_exit
wait_exit "$app" || { echo "FAIL: Alt+F, X did not close an unchanged file"; exit 1; }
[[ $status -eq 0 ]] || { echo "FAIL: exit status $status"; exit 1; }
cmp -s "$sample" "$work/cards.tsl" || { echo "FAIL: the file changed"; exit 1; }
echo "ok: unchanged file closes without a question"

# 2. Rename the front card in its index field: the question comes; Yes saves
#    the new name.
start
eval "$(xdotool getwindowgeometry --shell "$main")"
# The index field sits on the front card's toolbar.
# X delivers the click and the keys in order, so the keys reach the field
# the click focused.
xdotool mousemove --sync "$((X + 150))" "$((Y + 105))"
xdotool click 1
xdotool key End
xdotool type X
menu_exit
prompt=$(wait_window "^Tessel$") || { echo "FAIL: no Save Changes question after a rename"; exit 1; }
xdotool windowactivate --sync "$prompt" key y
wait_exit "$app" || { echo "FAIL: Yes did not close"; exit 1; }
saved=$("$(dirname "$tessel")/tessel-cli" show "$work/cards.tsl")
grep -q '"index": "Abbott, HelenX"' <<<"$saved" || {
  echo "FAIL: the renamed card was not saved; the file's first cards:"
  grep '"index"' <<<"$saved" | head -3
  exit 1
}
echo "ok: a rename asks Save Changes ?, Yes saves the new name"
echo "1 passed, 0 failed"
