#!/usr/bin/env bash
# The program under a real X server and window manager, driven by keys as a
# person would: leaving with Alt+F, X asks nothing after a look around, and
# asks "Save Changes ?" after a card was renamed, and Yes saves the new name.
# Usage: keyboard_exit.sh TESSEL SAMPLE   (run inside xvfb-run; exit 77 = skipped)
set -euo pipefail
tessel=$1
sample=$2
for tool in openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
[[ -n ${DISPLAY:-} ]] || { echo "no display: skipped"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config
cp "$sample" "$work/cards.tsl"

openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

# Waits up to ten seconds for a visible window whose title matches.
wait_window() {
  for _ in $(seq 100); do
    if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [[ -n $id ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
# Waits up to ten seconds for a process to end; its status in $status.
wait_exit() {
  for _ in $(seq 100); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1" && status=0 || status=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}
start() {
  "$tessel" "$work/cards.tsl" >/dev/null 2>&1 &
  app=$!
  pids+=("$app")
  main=$(wait_window "^Tessel - ") || { echo "FAIL: no main window"; exit 1; }
  xdotool windowactivate --sync "$main"
  sleep 0.3
}
menu_exit() {
  xdotool key --clearmodifiers alt+f
  # The File menu must be open before X means Exit.
  sleep 0.6
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
xdotool mousemove "$((X + 150))" "$((Y + 105))"
sleep 0.3
xdotool click 1
sleep 0.5
xdotool key End
xdotool type X
sleep 0.5
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
