#!/usr/bin/env bash
# Builds everything with AddressSanitizer, LeakSanitizer and UBSan in build-asan and runs every
# test there. Leaks inside the system's own libraries are listed in tests/lsan.supp.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELKO_SANITIZE=ON -DPELKO_BENCH=OFF > /dev/null
ninja -C "$root/build-asan" -j2
cd "$root/build-asan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0 \
  ctest --output-on-failure -j2
