#!/usr/bin/env bash
# Cross-builds pelkoTool.exe (the core without Qt) for 64-bit Windows into build-windows/ and
# runs it under Wine on every sample and on the failures a save must report, then replays the
# fuzz corpora there. Installs the
# MinGW-w64 compilers and Wine when they are missing; Wine gets a prefix of its own in
# build-windows/ and needs no display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-windows
start=$SECONDS

bash "$root/scripts/deps.sh" g++-mingw-w64-x86-64-posix wine wine64 cmake ninja-build

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELKO_GUI=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" > /dev/null
# pelkoTool and the fuzz corpora's replays, which drive the settings file and saves on Windows too.
nice -n 10 ninja -C "$build" -j2
tool=$build/bin/pelkoTool.exe

# Console programs only: no display, no Mono or Gecko installers while the prefix is made.
# Wine passes names between Linux and Windows in the locale's character set.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k 2>/dev/null || true' EXIT
prefix_start=$SECONDS
wine cmd /c exit 0 2>/dev/null
echo "Wine prefix ready in $((SECONDS - prefix_start)) s"

work=$build/work
rm -rf "$work"
mkdir -p "$work/sub"
cd "$work"

passed=0
failed=0
output=""
# run EXPECTED_EXIT ARGS...: runs the tool; what it printed (CR LF made LF) is left in $output.
run() {
  local expected=$1 status=0
  shift
  output=$(wine "$tool" "$@" 2>&1) || status=$?
  output=$(tr -d '\r' <<< "$output")
  [ "$status" -eq "$expected" ] || { echo "    exit $status, expected $expected: $output"; return 1; }
}
has() { grep -aqF -- "$1" <<< "$output" || { echo "    no '$1' in: $output"; return 1; }; }
begins() { [[ $output == "$1"* ]] || { echo "    '$output' does not begin with '$1'"; return 1; }; }
# check NAME COMMANDS: one row of the table.
check() {
  if eval "$2"; then
    echo "PASS  $1"
    passed=$((passed + 1))
  else
    echo "FAIL  $1"
    failed=$((failed + 1))
  fi
}

for sample in "$root"/samples/*.txt; do
  name=$(basename "$sample")
  cp "$sample" "sub/$name"
  check "check $name" 'run 0 check "sub\\$name" && begins "$name: ["'
  check "save $name, bytes kept" 'run 0 save "sub\\$name" "saved_$name" && cmp -s "$sample" "saved_$name"'
  # An existing file is replaced, not written into.
  printf 'old' > "over_$name"
  check "save over an existing $name" 'run 0 save "sub/$name" "over_$name" && cmp -s "$sample" "over_$name"'
done

first=$(ls "$root"/samples/*.txt | head -n 1)
cp "$first" "Einheiten_ä.txt"
check "check a non-ASCII name" 'run 0 check "Einheiten_ä.txt" && begins "Einheiten_ä.txt: ["'
check "save to a non-ASCII name" 'run 0 save "Einheiten_ä.txt" "Ausgabe_ö.txt" && cmp -s "$first" "Ausgabe_ö.txt"'

cp "$first" input.txt
printf 'kept' > readonly.txt
wine cmd /c attrib +r readonly.txt
check "save to a read-only file is refused" \
  'run 1 save input.txt readonly.txt && has "[13] :Permission denied" && [ "$(cat readonly.txt)" = kept ]'
check "save into a missing folder fails" \
  'run 1 save input.txt "missing\\out.txt" && has "An error occurred trying to save to" && has "[2] :No such file or directory"'
check "check of a missing file fails" \
  'run 1 check missing.txt && has "An error occurred trying to read" && has "[2] :No such file or directory"'
mkdir real
printf 'old' > real/target.txt
ln -s real/target.txt link.txt
check "save through a link writes its target, the link stays" \
  'run 0 save input.txt link.txt && [ -L link.txt ] && cmp -s "$first" real/target.txt'

# What a killed save left beside a destination: .pelko.<FNV-1a of the name, 64 bits>.<n>.tmp
leftover() {
  local hash=$((0xcbf29ce484222325)) byte
  for byte in $(printf '%s' "$1" | od -An -tu1); do hash=$(((hash ^ byte) * 0x100000001b3)); done
  printf '.pelko.%016x.123.tmp' "$hash"
}
cp "$first" stale.txt
printf 'killed' > "$(leftover stale.txt)"
check "a killed save's temporary file is removed" \
  'run 0 save input.txt stale.txt && cmp -s "$first" stale.txt && [ ! -e "$(leftover stale.txt)" ]'
check "no temporary file is left" '! ls -A . sub | grep -aq "^\.pelko\."'

check "fuzz corpora replay (settings file, load and save)" 'ctest --test-dir "$build" -j2 --output-on-failure > "$work/ctest.log" 2>&1 || { tail -n 20 "$work/ctest.log"; false; }'

echo "Windows: $passed passed, $failed failed in $((SECONDS - start)) s"
[ "$failed" -eq 0 ]
