# What the keys-only checks share, sourced once `editor` is set: they run again under Xvfb, work
# in a folder of their own beside a copy of the editor, type with xdotool and wait for what a
# loaded machine is slow to do.
if [ "${PELKO_INSIDE_X:-}" != 1 ]; then
  PELKO_INSIDE_X=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$@"
fi
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait; rm -rf "$work" || true' EXIT
cp "$editor" "$work/"
failed=0

# Waits up to 15 s for a condition.
until_true() {
  for _ in $(seq 75); do "$@" && return 0; sleep 0.2; done
  return 1
}
keys() { xdotool key --delay 80 "$@"; sleep 0.6; }
write() { xdotool type --delay 60 "$1"; sleep 0.6; }

# Starts the editor on a file of the work folder and gives its window the keys; app is its pid.
start_editor() {
  XDG_STATE_HOME=$work/state XDG_DATA_HOME=$work/data "$work/$(basename "$editor")" "$work/$1" & app=$!
  local id
  id=$(timeout 30 xdotool search --sync --onlyvisible --name "^\\[${1//./\\.}\\] - PelkoEditor" | head -n 1)
  xdotool windowfocus --sync "$id"
  sleep 1
}
# The editor writes its settings as it closes: it must be gone before its folder is removed.
stop_editor() {
  kill -TERM "$app" 2>/dev/null || true
  wait "$app" || true
}
