#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; CTest's summary line comes last.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
ctest --output-on-failure -j2
