#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, or the packages given;
# only what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth
  fonts-liberation2
  dpkg-dev file   # cpack's Debian package
  python3 time    # the benchmark scripts
  xdotool twm     # bench/start_stop.sh
  xclip           # the keys-only check of copy and paste
)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
