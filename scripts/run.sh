#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor in samples/, so that the first
# Load File opens where the sample files are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
cd "$root/samples"
exec "$root/build/bin/pelkoEditor"
