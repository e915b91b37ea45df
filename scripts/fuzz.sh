#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan in build-fuzz and runs one of them.
#   scripts/fuzz.sh [TARGET] [SECONDS] [libFuzzer flags...]
# TARGET: record (default; the record store), text (range and width texts), ini (the settings
# file), check (pelkoTool check's whole path), sheet (the clipboard's block text) or journal (a journal of
# unsaved edits read back after a crash). SECONDS
# defaults to 600; FUZZ_JOBS (default 2) is the number of worker processes. New inputs go to build-fuzz/corpus-TARGET (seeded from
# fuzz/corpus/TARGET, which stays as committed) and crashes to build-fuzz/artifacts-TARGET.
# Exits 1 when the run found a crash.
set -euo pipefail

target=record
if [[ $# -gt 0 && ! $1 =~ ^[0-9]+$ ]]; then target=$1; shift; fi
seconds=${1:-600}
shift $(( $# > 0 ? 1 : 0 ))
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz
work=$build/corpus-$target
artifacts=$build/artifacts-$target
dict=$root/fuzz/record.dict
[[ $target == ini ]] && dict=$root/fuzz/ini.dict
[[ $target == journal ]] && dict=$root/fuzz/journal.dict
[[ -d $root/fuzz/corpus/$target ]] || { echo "no fuzz target '$target'" >&2; exit 2; }

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DPELKO_FUZZ=ON >/dev/null
ninja -C "$build" -j2 "fuzz_$target"

mkdir -p "$work" "$artifacts"
cp -n "$root/fuzz/corpus/$target"/* "$work"/
crashes_before=$(find "$artifacts" -type f | wc -l)

# Fork mode uses the workers and, with -ignore_crashes, goes on after a crash so that one run
# collects every kind of failure.
log=$build/fuzz-$target.log
(cd "$build" && "./bin/fuzz_$target" "$work" -max_len=4096 -max_total_time="$seconds" -timeout=10 -dict="$dict" \
  -fork="${FUZZ_JOBS:-2}" -ignore_crashes=1 -print_final_stats=1 -artifact_prefix="$artifacts/" "$@") 2>&1 | tee "$log"

# The last status line: "#RUNS: cov: C ft: F corp: N exec/s E ... time: Ts".
status=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
runs=$(sed -E 's/^#([0-9]+).*/\1/' <<<"$status")
time=$(sed -nE 's/.* time: ([0-9]+)s.*/\1/p' <<<"$status")
echo "executions: ${runs:-0} in ${time:-0} s ($(( ${runs:-0} / (${time:-0} > 0 ? time : 1) )) exec/s)"
echo "last status: $status"

crashes=$(( $(find "$artifacts" -type f | wc -l) - crashes_before ))
echo "new crash inputs: $crashes (in $artifacts)"
[ "$crashes" -eq 0 ]
