#!/usr/bin/env bash
# Cross-builds pelkoTool.exe (the core without Qt) for 64-bit Windows into build-windows/ and
# runs it under Wine on every sample and on the failures a save must report, then replays the
# fuzz corpora there. Then builds the editor, pelkoEditor.exe, against a static Qt made once
# from Debian's source (scripts/windows-qt.sh), runs a user's session with it under Wine on Xvfb,
# and packs the portable zip. Installs the MinGW-w64 compilers and Wine when they are missing;
# Wine gets a prefix of its own in build-windows/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-windows
start=$SECONDS

bash "$root/scripts/deps.sh" g++-mingw-w64-x86-64-posix wine wine64 cmake ninja-build imagemagick xvfb xauth xdotool zip

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

# --- The editor ---
qt=$(bash "$root/scripts/windows-qt.sh" | tail -n 1)
gui=$root/build-windows-gui
mkdir -p "$gui"
# The project's toolchain, with the cached Qt among the roots its packages are found in.
printf 'include("%s")\nlist(APPEND CMAKE_FIND_ROOT_PATH "%s")\n' "$root/cmake/mingw-w64-x86_64.cmake" "$qt" > "$gui/toolchain.cmake"
cmake -S "$root" -B "$gui" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELKO_BENCH=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$gui/toolchain.cmake" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake > /dev/null
editor_start=$SECONDS
nice -n 10 ninja -C "$gui" -j2 pelkoEditor pelkoTool
echo "pelkoEditor.exe built in $((SECONDS - editor_start)) s"
editor=$gui/bin/pelkoEditor.exe

check "pelkoEditor.exe needs no DLL but the system's" \
  '! x86_64-w64-mingw32-objdump -p "$editor" | grep -i "DLL Name" | grep -iE "qt6|libstdc|libgcc|winpthread"'

# The test programs, as the Linux build has them, under Wine on an X server of their own (the
# window's tests with the Windows platform). QTest writes its log to a file, as Wine loses a
# console program's buffered output when a test aborts it. Paths as Windows sees them; the user's
# folders are the test's own.
programs=$(ctest --test-dir "$gui" -N | sed -n 's/^ *Test *#[0-9]*: \(tst_[a-z]*\)$/\1/p')
tests_start=$SECONDS
# shellcheck disable=SC2086
nice -n 10 ninja -C "$gui" -j2 $programs
echo "test programs built in $((SECONDS - tests_start)) s"
mkdir -p "$work/appdata" "$work/localappdata"
# -displayfd picks a display no other server holds, where xvfb-run -a can race another run.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3> "$work/display" 2> /dev/null & xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
# test_program NAME: passes when the program exits 0; prints its totals and time.
test_program() {
  local name=$1 started=$SECONDS status=0
  DISPLAY=:$(cat "$work/display") APPDATA="Z:$work/appdata" LOCALAPPDATA="Z:$work/localappdata" \
    PELKO_SAMPLES="Z:$root/samples" PELKO_TOOL="Z:$gui/bin/pelkoTool.exe" QTEST_FUNCTION_TIMEOUT=120000 \
    timeout 900 wine "$gui/tests/$name.exe" -o "Z:$work/$name.txt,txt" > "$work/$name.out" 2>&1 || status=$?
  echo "    $name: $(grep -a '^Totals:' "$work/$name.txt" || echo 'no totals') ($((SECONDS - started)) s)"
  [ "$status" -eq 0 ] || { grep -a -A3 -E '^(FAIL|QFATAL)' "$work/$name.txt" | head -n 40; false; }
}
for name in $programs; do
  check "$name.exe under Wine" 'test_program $name'
done
kill $xvfb
# A Wine started without a display would keep the session's windows off the X server.
wineserver -k 2>/dev/null || true

# A user's session: the editor started on a sample, a value typed into the first cell, Ctrl+S,
# Exit. Wine draws its windows on the X server; the cell lies at a fixed place in the window.
session=$work/session
mkdir -p "$session"
cp "$root/samples/crusaders_unit_prod11.txt" "$session/"
sed 's/^Peasants\t/Peasants7\t/' "$root/samples/crusaders_unit_prod11.txt" > "$session/expected.txt"
cat > "$work/session.sh" <<'SESSION'
set -u
cd "$1"
# The Linux build's start-up beside it, where the tests built it.
if [ -x "$3" ]; then
  started=$(date +%s%N)
  "$3" "$PWD/expected.txt" & linux=$!
  timeout 60 xdotool search --sync --onlyvisible --name 'PelkoEditor' > /dev/null
  echo "Linux build: window shown after $((($(date +%s%N) - started) / 1000000)) ms"
  kill $linux; wait $linux 2>/dev/null
fi
started=$(date +%s%N)
wine "$2" crusaders_unit_prod11.txt & app=$!
timeout 60 xdotool search --sync --onlyvisible --name 'PelkoEditor' > /dev/null
echo "Windows build under Wine: window shown after $((($(date +%s%N) - started) / 1000000)) ms"
# Wine makes and drops windows of its own while the program starts: the one to type into is the
# window whose title names the loaded file.
id=$(timeout 60 xdotool search --sync --onlyvisible --name '^\[crusaders_unit_prod11\.txt\] - PelkoEditor' | head -n 1)
sleep 1
xdotool mousemove --window "$id" 200 118 click 1
sleep 0.5
xdotool key --window "$id" ctrl+End 7 ctrl+s
sleep 1
import -window root screenshot.png
xdotool key --window "$id" alt+x
for _ in $(seq 50); do kill -0 $app 2>/dev/null || break; sleep 0.2; done
if kill -0 $app 2>/dev/null; then echo "still running after Exit"; exit 1; fi
SESSION
check "a session under Wine: a typed value saved with Ctrl+S, Exit without a prompt" \
  'xvfb-run -a -s "-screen 0 1920x1080x24" bash "$work/session.sh" "$session" "$editor" "$root/build/bin/pelkoEditor" > "$work/session.log" 2>&1 &&
   cmp -s "$session/expected.txt" "$session/crusaders_unit_prod11.txt" || { cat "$work/session.log"; false; }'
grep -a "window shown" "$work/session.log" || true

# The portable zip: both programs, the samples, a README for Windows users and the licences.
version=$(sed -n 's/^project(PelkoEditor VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=PelkoEditor-$version-windows-x64
stage=$gui/zip/$name
rm -rf "$gui/zip"
mkdir -p "$stage/samples" "$stage/LICENSES"
x86_64-w64-mingw32-strip -o "$stage/pelkoEditor.exe" "$editor"
x86_64-w64-mingw32-strip -o "$stage/pelkoTool.exe" "$gui/bin/pelkoTool.exe"
cp "$root"/samples/*.txt "$stage/samples/"
sed 's/$/\r/' "$root/resources/windows/README.txt" > "$stage/README.txt"
sed 's/$/\r/' "$root/resources/debian/copyright" > "$stage/LICENSES/PelkoEditor.txt"
sed 's/$/\r/' /usr/share/doc/libqt6core6/copyright > "$stage/LICENSES/Qt.txt"
for licence in LGPL-3 GPL-2 GPL-3; do sed 's/$/\r/' "/usr/share/common-licenses/$licence" > "$stage/LICENSES/$licence.txt"; done
(cd "$gui/zip" && rm -f "$root/$name.zip" && zip -qr "$root/build-windows/$name.zip" "$name")
check "the zip holds both programs, the samples, the README and the licences" \
  '[ "$(unzip -Z1 "$build/$name.zip" | grep -cE "(pelkoEditor|pelkoTool)\.exe$|samples/.+\.txt$|README\.txt$|LICENSES/.+")" -eq 11 ]'
echo "zip: $build/$name.zip, $(stat -c %s "$build/$name.zip") bytes"

echo "Windows: $passed passed, $failed failed in $((SECONDS - start)) s"
[ "$failed" -eq 0 ]
