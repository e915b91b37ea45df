#!/usr/bin/env bash
# Builds Qt's qtbase for 64-bit Windows once: static libraries made with Debian's MinGW-w64 from
# Debian's own qt6-base source package (the version of the Linux build), installed into a cache
# outside the checkout. Later runs find it there and spend no time on Qt. The last line printed
# is the Qt prefix.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$root/scripts/deps.sh" g++-mingw-w64-x86-64-posix cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools >&2

package=$(dpkg-query -W -f='${Version}' qt6-base-dev)  # 6.4.2+dfsg-10
version=${package%%+*}
# Only what the editor and its tests need; Debian's source lacks the tablet header, and 6.4's
# Windows plugin does not build with OpenGL off unless dynamic GL is off too.
options=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF
)
# The toolchain file is part of the name: a change to it builds Qt again.
hash=$( (echo "$package"; printf '%s\n' "${options[@]}"; cat "$root/cmake/mingw-w64-x86_64.cmake") | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/pelkoEditor
prefix=$cache/qt-$version-mingw-static-$hash
if [ -f "$prefix/.complete" ]; then
  echo "Qt for Windows: cached in $prefix" >&2
  echo "$prefix"
  exit 0
fi

start=$SECONDS
work=$cache/qt-build-$hash
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
# A sources list of our own: the machine's apt set-up is never touched.
cat > "$work/apt/sources.list" <<LIST
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
LIST
apt=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=- -o Dir::State::Lists="$work/apt/lists"
     -o Dir::Cache="$work/apt/cache")
apt-get "${apt[@]}" -qq update >&2
(cd "$work" && apt-get "${apt[@]}" -qq source --only-source "qt6-base=$package" >&2)
source_dir=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)

cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}" > "$work/configure.log" 2>&1 ||
  { tail -30 "$work/configure.log" >&2; exit 1; }
nice -n 10 ninja -C "$work/build" -j2 > "$work/build.log" 2>&1 || { tail -30 "$work/build.log" >&2; exit 1; }
ninja -C "$work/build" install > "$work/install.log" 2>&1 || { tail -30 "$work/install.log" >&2; exit 1; }
touch "$prefix/.complete"
rm -rf "$work"
echo "Qt for Windows: built in $((SECONDS - start)) s into $prefix" >&2
echo "$prefix"
