#!/usr/bin/env bash
# The window's stored placement survives being closed under a reparenting window manager, early
# (before the manager has framed it) or late: three runs in a row each leave the stored numbers.
#   placement_twm.sh EDITOR
set -euo pipefail
editor=$1
if [ "${PELKO_INSIDE_X:-}" != 1 ]; then
  PELKO_INSIDE_X=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$@"
fi
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$editor" "$work/"
placement=$'Left= 1500\r\nWidth= 12000\r\nTop= 1500\r\nHeight= 9000\r\n'
# twm's own placement asks the user where a window goes; the second places it at once.
printf 'UsePPosition "on"\nRandomPlacement\nTitleFont "fixed"\nResizeFont "fixed"\nMenuFont "fixed"\nIconFont "fixed"\nIconManagerFont "fixed"\n' > "$work/twmrc"
failed=0
for config in default "$work/twmrc"; do
  options=()
  [ "$config" = default ] || options=(-f "$config")
  twm "${options[@]}" >/dev/null 2>&1 & wm=$!
  sleep 1
  for delay in 0 1.5; do
    printf '[Pelko Editor]\r\nWindowstate= 0\r\n%s' "$placement" > "$work/pelkoEditor.ini"
    for run in 1 2 3; do
      XDG_STATE_HOME=$work/state "$work/$(basename "$editor")" & app=$!
      timeout 20 xdotool search --sync --onlyvisible --pid $app > /dev/null
      sleep $delay
      kill -TERM $app
      wait $app || true
      stored=$(grep -aE '^(Left|Width|Top|Height)=' "$work/pelkoEditor.ini" | sed 's/\r*$/\r/')
      if [ "$stored"$'\n' != "$placement" ]; then
        echo "FAIL twm ${config##*/}, closed after ${delay} s, run $run:" $(tr -d '\r' <<< "$stored")
        failed=1
        break
      fi
    done
  done
  kill $wm; wait $wm 2>/dev/null || true
done
[ $failed -eq 0 ] && echo "PASS placement kept over three runs, closed early and late, under twm"
exit $failed
