#!/usr/bin/env bash
# Starts the editor and ends it with SIGTERM, one process at a time, TRIALS times (default 100)
# under Xvfb with a window manager: first on a quiet machine, then with both cores busy. Counts
# the windows that did not appear within 5 s, and reports the start-to-window times.
#   bash bench/start_stop.sh [TRIALS]
set -euo pipefail
cd "$(dirname "$0")/.."
trials=${1:-100}
build=${PELKO_BUILD_DIR:-build}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
ninja -C "$build" -j2 pelkoEditor >/dev/null

# The program folder holds the settings file, which every closing instance writes.
folder=${PELKO_FOLDER:-}
if [ -z "$folder" ]; then
  folder=$(mktemp -d)
  cp "$build/bin/pelkoEditor" "$folder/"
fi

inner() {
  twm >/dev/null 2>&1 &
  sleep 1
  for load in quiet busy; do
    busy=()
    if [ "$load" = busy ]; then
      for core in 1 2; do (while :; do :; done) & busy+=($!); done
    fi
    missed=0
    times=()
    for ((trial = 1; trial <= trials; ++trial)); do
      start=$(date +%s%N)
      "$folder/pelkoEditor" >/dev/null 2>&1 & pid=$!
      if timeout 5 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1; then
        times+=($(( ($(date +%s%N) - start) / 1000000 )))
      else
        missed=$((missed + 1))
        echo "trial $trial ($load): no window within 5 s"
      fi
      kill -TERM "$pid" 2>/dev/null || true
      # A close that hangs would show here: the next start waits for this one to end.
      if ! timeout 10 tail --pid="$pid" -f /dev/null; then
        echo "trial $trial ($load): still running 10 s after SIGTERM"
        kill -KILL "$pid" 2>/dev/null || true
      fi
    done
    [ ${#busy[@]} -gt 0 ] && kill "${busy[@]}"
    sorted=$(printf '%s\n' "${times[@]}" | sort -n)
    shown=${#times[@]}
    echo "$load: $shown of $trials windows shown within 5 s ($missed missed);" \
         "start to window min $(head -n1 <<<"$sorted") ms, median $(sed -n "$(( (shown + 1) / 2 ))p" <<<"$sorted") ms," \
         "max $(tail -n1 <<<"$sorted") ms"
  done
}
if [ "${PELKO_INSIDE_X:-}" = 1 ]; then
  inner
else
  PELKO_INSIDE_X=1 PELKO_FOLDER=$folder xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$trials"
  rm -rf "$folder"
fi
