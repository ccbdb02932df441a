#!/usr/bin/env bash
# The program killed outright while a card holds unsaved typing (SIGKILL,
# as a crash or a power cut would end it): the next start offers the
# recovery, Enter (Recover) brings the typing back, Save writes it and keeps
# the file it replaced as NAME.tsl~, and the recovery file is gone.
# Usage: crash_recovery.sh TESSEL SAMPLE   (run inside xvfb-run; exit 77 = skipped)
set -euo pipefail
tessel=$1
sample=$2
source "$(dirname "$0")/lib/desktop.sh"
recovery=$work/state/Tessel/recovery
cp "$sample" "$work/cards.tsl"

recovery_files() { compgen -G "$recovery/*.recovery" >/dev/null; }
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
wait "$app" 2>/dev/null || true
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
menu_exit
wait_until exited "$app" || { echo "FAIL: the program did not leave after the save"; exit 1; }
saved=$("$(dirname "$tessel")/tessel-cli" show "$work/cards.tsl")
grep -q 'Typed before the crash.' <<<"$saved" || { echo "FAIL: the typing was not recovered"; exit 1; }
cmp -s "$sample" "$work/cards.tsl~" || { echo "FAIL: cards.tsl~ is not the file before the save"; exit 1; }
! recovery_files || { echo "FAIL: the recovery file outlived the save"; ls "$recovery"; exit 1; }
echo "ok: Recover brings the typing back, Save writes it and keeps cards.tsl~"
echo "2 passed, 0 failed"
