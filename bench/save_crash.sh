#!/usr/bin/env bash
# Kills `pelkoTool save` with SIGKILL at random moments while it writes a 50 MB file over an
# older one, and checks that the destination is always either the whole old file or the whole
# new one. Counts the temporary files killed saves leave behind: the next save to the same file
# removes them, so at most the last trial's one may be there.
#   bash bench/save_crash.sh [TRIALS]      TRIALS defaults to 50
set -euo pipefail
cd "$(dirname "$0")/.."
trials=${1:-50}
build=${PELKO_BUILD_DIR:-build}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
ninja -C "$build" -j2 pelkoTool >/dev/null
tool=$build/bin/pelkoTool

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
python3 bench/building_file.py "$folder/new.txt" 50
"$tool" check "$folder/new.txt"
cp samples/crusader_build_prod13.txt "$folder/old.txt"
start=$(date +%s%N)
"$tool" save "$folder/new.txt" "$folder/expected.txt"
save_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "one save: $save_ms ms"

old=0 new=0 corrupt=0 leftovers=0 most=0
for ((trial = 1; trial <= trials; ++trial)); do
  cp "$folder/old.txt" "$folder/dest.txt"
  delay_ms=$(( RANDOM % (save_ms * 12 / 10 + 1) ))  # sometimes after the save has ended
  "$tool" save "$folder/new.txt" "$folder/dest.txt" & pid=$!
  sleep "$(printf '0.%03d' "$delay_ms")"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if cmp -s "$folder/dest.txt" "$folder/old.txt"; then old=$((old + 1))
  elif cmp -s "$folder/dest.txt" "$folder/expected.txt"; then new=$((new + 1))
  else corrupt=$((corrupt + 1)); echo "trial $trial: the destination is neither file (killed after $delay_ms ms)"
  fi
  left=$(find "$folder" -name '.pelko.*.tmp' | wc -l)
  leftovers=$((leftovers + left))
  (( left > most )) && most=$left
done
echo "$trials trials: old file $old, new file $new, neither $corrupt; temporary files seen after a trial: $leftovers in all, at most $most at once"
[ "$corrupt" -eq 0 ] && [ "$most" -le 1 ]
