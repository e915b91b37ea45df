#!/usr/bin/env bash
# Builds the libFuzzer target with clang, ASan and UBSan in build-fuzz and fuzzes the record store.
#   scripts/fuzz.sh [SECONDS] [libFuzzer flags...]   SECONDS defaults to 600
# New inputs go to build-fuzz/fuzz-corpus (seeded from fuzz/corpus, which stays as committed) and
# crashes to build-fuzz/fuzz-artifacts. Exits 1 when the run found a crash.
set -euo pipefail

seconds=${1:-600}
shift $(( $# > 0 ? 1 : 0 ))
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz
work=$build/fuzz-corpus
artifacts=$build/fuzz-artifacts

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DPELKO_FUZZ=ON >/dev/null
ninja -C "$build" -j2 fuzz_record

mkdir -p "$work" "$artifacts"
cp -n "$root"/fuzz/corpus/* "$work"/
crashes_before=$(find "$artifacts" -type f | wc -l)

# Fork mode uses both cores and, with -ignore_crashes, goes on after a crash so that one run
# collects every kind of failure.
log=$build/fuzz.log
(cd "$build" && ./bin/fuzz_record "$work" -max_len=4096 -max_total_time="$seconds" -timeout=10 -dict="$root/fuzz/record.dict" \
  -fork=2 -ignore_crashes=1 -print_final_stats=1 -artifact_prefix="$artifacts/" "$@") 2>&1 | tee "$log"

# The last status line: "#RUNS: cov: C ft: F corp: N exec/s E ... time: Ts".
status=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
runs=$(sed -E 's/^#([0-9]+).*/\1/' <<<"$status")
time=$(sed -nE 's/.* time: ([0-9]+)s.*/\1/p' <<<"$status")
echo "executions: ${runs:-0} in ${time:-0} s ($(( ${runs:-0} / (${time:-0} > 0 ? time : 1) )) exec/s)"
echo "last status: $status"

crashes=$(( $(find "$artifacts" -type f | wc -l) - crashes_before ))
echo "new crash inputs: $crashes (in $artifacts)"
[ "$crashes" -eq 0 ]
