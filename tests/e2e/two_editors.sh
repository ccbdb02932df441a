#!/usr/bin/env bash
# Two Tessel windows on one card file under a real X server: the second is
# told who has the file and opens it read-only with Enter; the first, with
# unsaved typing, is told at once of a version a sync tool renamed over the
# file, and F3 then asks before replacing it, where Esc writes nothing.
# Usage: two_editors.sh TESSEL SAMPLE   (run inside xvfb-run; exit 77 = skipped)
set -euo pipefail
tessel=$1
sample=$2
cli=$(dirname "$tessel")/tessel-cli
source "$(dirname "$0")/lib/desktop.sh"
cp "$sample" "$work/cards.tsl"
fail() { echo "FAIL: $*"; exit 1; }

# Prints the visible windows whose title matches exactly (a regular
# expression: parentheses are escaped).
windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
has_window() { [[ -n $(windows_named "$1") ]]; }
# Activates the window and sends it keys once it has the keyboard.
keys_to() {
  local id=$1
  shift
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  wait_until active_is "$id" || fail "window $id did not become active"
  xdotool key "$@"
}

title="Tessel - $work/cards.tsl"
"$tessel" "$work/cards.tsl" >/dev/null 2>&1 &
first=$!
pids+=("$first")
wait_until has_window "$title" || fail "no first window"

# 1. The second window asks; Enter is Open Read-Only.
"$tessel" "$work/cards.tsl" >/dev/null 2>&1 &
pids+=($!)
wait_until has_window "Tessel" || fail "the second window asked nothing"
question=$(windows_named "Tessel" | head -1)
keys_to "$question" Return
wait_until has_window "$title \\(read-only\\)" || fail "no read-only window"
echo "ok: the second window opens the file read-only"

out=$("$cli" tag "$work/cards.tsl" --none 2>&1) && fail "tessel-cli tag wrote a file Tessel has open"
grep -q "is open in Tessel on .* (process $first)" <<<"$out" || fail "tessel-cli said: $out"
echo "ok: tessel-cli names the holder and leaves the file alone"

# 2. Unsaved typing in the first window, then a sync tool's new version.
main=$(windows_named "$title" | head -1)
keys_to "$main" t y p e d
"$cli" convert "$work/cards.tsl" "$work/incoming.tsl"
"$cli" tag "$work/incoming.tsl" --none
mv "$work/incoming.tsl" "$work/cards.tsl"
cp "$work/cards.tsl" "$work/theirs.tsl"
notices() { windows_named "Tessel" | wc -l; }
wait_until eval '(($(notices) >= 1))' || fail "no notice of the change on disk"
before=$(notices)
keys_to "$main" F3
wait_until eval '(($(notices) > before))' || fail "Save asked nothing"
xdotool key Escape
wait_until eval '(($(notices) == before))' || fail "Esc did not close the question"
cmp -s "$work/cards.tsl" "$work/theirs.tsl" || fail "the other program's version was overwritten"
echo "ok: the change is told at once, Save asks, Esc writes nothing"
echo "3 passed, 0 failed"
