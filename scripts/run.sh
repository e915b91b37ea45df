#!/usr/bin/env bash
# Installs what is missing, builds the editor alone (not the tests, benchmarks and fuzz replays)
# and starts it in samples/, so that the first Load File opens where the sample files are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" pelkoEditor
cd "$root/samples"
exec "$root/build/bin/pelkoEditor"
