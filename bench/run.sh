#!/usr/bin/env bash
# Runs the record benchmarks, then measures pelkoTool's peak memory on the generated files and
# checks that a load and save gives back every byte.
#   bash bench/run.sh [record_bench flags]      (PELKO_BUILD_DIR picks another build folder)
set -euo pipefail

cd "$(dirname "$0")/.."
build=${PELKO_BUILD_DIR:-build}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
ninja -C "$build" -j2 record_bench pelkoTool

"$build/bin/record_bench" "$@"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$build/bin/record_bench" --write-files "$folder" >/dev/null

failed=0
for file in "$folder"/crusader_build_prod13.txt "$folder"/crusaders_unit_prod11.txt; do
  name=$(basename "$file")
  bytes=$(stat -c %s "$file")
  /usr/bin/time -v "$build/bin/pelkoTool" check "$file" >/dev/null 2>"$folder/time.txt" || {
    cat "$folder/time.txt"
    failed=1
    continue
  }
  peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$folder/time.txt")
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$folder/time.txt")
  awk -v name="$name" -v bytes="$bytes" -v kb="$peak_kb" -v wall="$wall" 'BEGIN {
    printf "%s: %.1f MB, pelkoTool check peak RSS %.1f MB, ratio peak/file size %.2f, wall %s\n",
           name, bytes / 1e6, kb * 1024 / 1e6, kb * 1024 / bytes, wall }'

  if "$build/bin/pelkoTool" save "$file" "$file.saved" && cmp -s "$file" "$file.saved"; then
    echo "$name: pelkoTool save round trip byte-identical"
  else
    echo "$name: pelkoTool save round trip DIFFERS"
    failed=1
  fi
  rm -f "$file.saved"
done
exit "$failed"
