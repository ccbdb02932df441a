# Sourced by the end-to-end scripts: skips without the tools or a display,
# makes a work folder holding a copy of the sample as cards.tsl (settings
# there too), kills what the script started (in `pids`) at the end, and
# starts openbox. Expects `sample` to be set.
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
export XDG_CONFIG_HOME=$work/config
cp "$sample" "$work/cards.tsl"

# Runs the command until it succeeds, for up to ten seconds; false if it
# never did. Every wait is on a condition, never a fixed time.
wait_until() {
  local deadline=$((SECONDS + 10))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

openbox >/dev/null 2>&1 &
pids+=($!)
# The window manager is up once it answers for the desktops.
wait_until xdotool get_desktop >/dev/null 2>&1 || { echo "FAIL: openbox did not start"; exit 1; }
