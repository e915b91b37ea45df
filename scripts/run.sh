#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
# Until the editor window exists, this checks the sample files with pelkoTool instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
for sample in samples/*.txt; do
  build/bin/pelkoTool check "$sample"
done
