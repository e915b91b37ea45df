#!/usr/bin/env bash
# A 1 GB building file: pelkoTool check and a save back, with time and peak memory; then the same
# check with the address space limited to 1.6 GB, where the load must fail with a message, not a
# crash; then the editor's LoadRecord of the file (under Xvfb when there is no display).
#   bash bench/huge_file.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PELKO_BUILD_DIR:-build}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
ninja -C "$build" -j2 pelkoTool load_progress >/dev/null

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
python3 bench/building_file.py "$folder/crusader_build_prod13.txt" 1000
file=$folder/crusader_build_prod13.txt
echo "file: $(( $(stat -c %s "$file") / 1000000 )) MB"

/usr/bin/time -f "pelkoTool check: %e s, peak RSS %M kB" "$build/bin/pelkoTool" check "$file"
/usr/bin/time -f "pelkoTool save: %e s, peak RSS %M kB" "$build/bin/pelkoTool" save "$file" "$folder/saved.txt"
cmp -s "$file" "$folder/saved.txt" && echo "saved file byte-identical" || echo "saved file DIFFERS"
rm -f "$folder/saved.txt"

echo "--- with 1.6 GB of address space:"
status=0
(ulimit -v 1600000; "$build/bin/pelkoTool" check "$file") || status=$?
echo "pelkoTool check exit status $status (1: a reported load error; anything above 128 is a crash)"

echo "--- the editor:"
run=("$build/bin/load_progress" "$file")
[ -n "${DISPLAY:-}" ] || run=(xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}")
"${run[@]}" 2>&1 | grep -v XDG_RUNTIME_DIR
