#!/usr/bin/env bash
# The program killed outright while a card holds unsaved typing (SIGKILL,
# as a crash or a power cut would end it): the next start offers the
# recovery, Enter (Recover) brings the typing back, Save writes it and keeps
# the file it replaced as NAME.tsl~, and the recovery file is gone.
# Usage: crash_recovery.sh TESSEL SAMPLE   (run inside xvfb-run; exit 77 = skipped)
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
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
recovery=$work/state/Tessel/recovery
cp "$sample" "$work/cards.tsl"

# Runs the command until it succeeds, for up to `limit` seconds (10 unless
# set); false if it never did.
wait_until() {
  local deadline=$((SECONDS + ${limit:-10}))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
openbox >/dev/null 2>&1 &
pids+=($!)
wait_until xdotool get_desktop >/dev/null 2>&1 || { echo "FAIL: openbox did not start"; exit 1; }

find_window() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [[ -n $id ]] && echo "$id"
}
wait_window() {
  local pattern=$1 id
  wait_until eval 'id=$(find_window "$pattern")' && echo "$id"
}
active_is() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
recovery_files() { compgen -G "$recovery/*.recovery" >/dev/null; }
exited() { ! kill -0 "$1" 2>/dev/null; }
start() {
  "$tessel" "$work/cards.tsl" >/dev/null 2>&1 &
  app=$!
  pids+=("$app")
}
activate() {
  xdotool windowactivate --sync "$1"
  wait_until active_is "$1" || { echo "FAIL: window $1 did not become active"; exit 1; }
}

# 1. Type into the front card (the focus starts in its body), wait for the
#    recovery file, then kill the program.
start
main=$(wait_window "^Tessel - ") || { echo "FAIL: no main window"; exit 1; }
activate "$main"
xdotool type --delay 20 "Typed before the crash. "
limit=20 wait_until recovery_files || { echo "FAIL: no recovery file within 20 s of typing"; exit 1; }
kill -9 "$app"
wait_until exited "$app" || { echo "FAIL: the program outlived SIGKILL"; exit 1; }
cmp -s "$sample" "$work/cards.tsl" || { echo "FAIL: the card file changed without a save"; exit 1; }
echo "ok: a recovery file is kept while typing, the card file untouched"

# 2. Start again: the question comes; Enter is Recover.
start
question=$(wait_window "^Tessel$") || { echo "FAIL: no recovery question after the crash"; exit 1; }
activate "$question"
xdotool key Return
main=$(wait_window "^Tessel - $work/cards.tsl") || { echo "FAIL: not recovered as cards.tsl"; exit 1; }
activate "$main"
# 3. Save (F3), then leave: nothing is asked, since all is saved.
xdotool key F3
wait_until eval '! cmp -s "$sample" "$work/cards.tsl"' || { echo "FAIL: F3 wrote nothing"; exit 1; }
before=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)
xdotool key --clearmodifiers alt+f
# The File menu must be open before X means Exit.
wait_until eval '(($(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l) > before))' ||
  { echo "FAIL: Alt+F opened no menu"; exit 1; }
xdotool key x
wait_until exited "$app" || { echo "FAIL: the program did not leave after the save"; exit 1; }
saved=$("$(dirname "$tessel")/tessel-cli" show "$work/cards.tsl")
grep -q 'Typed before the crash.' <<<"$saved" || { echo "FAIL: the typing was not recovered"; exit 1; }
cmp -s "$sample" "$work/cards.tsl~" || { echo "FAIL: cards.tsl~ is not the file before the save"; exit 1; }
! recovery_files || { echo "FAIL: the recovery file outlived the save"; ls "$recovery"; exit 1; }
echo "ok: Recover brings the typing back, Save writes it and keeps cards.tsl~"
echo "2 passed, 0 failed"
