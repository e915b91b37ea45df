#!/usr/bin/env bash
# Builds the Debian package in build-package/ (a Release build for /usr with Debian's hardening
# flags, only the two programs) and checks it: lintian without errors (when it is installed),
# desktop-file-validate and appstreamcli validate without any finding, manual pages that render
# without warnings, the changelog's latest version equal to project()'s, and a package that holds
# the programs, the manual pages, the desktop entry, the icon, the metainfo, the copyright file,
# the changelog and the README with every picture it links. The package stays in build-package/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-package
cd "$root"
bash scripts/deps.sh

# The checkers this script alone needs: only what is missing.
bash scripts/deps.sh lintian desktop-file-utils appstream man-db

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The build. The prefix is /usr: the program recognises its installed folder by it. Debian's
# flags without -g: the package ships no debugging information.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELKO_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" > /dev/null
ninja -C "$build" -j2 pelkoEditor pelkoTool
rm -f "$build"/*.deb
(cd "$build" && cpack > /dev/null)
deb=$(ls "$build"/*.deb)
echo "package: $deb"

# One version: project(), the package, the changelog's latest entry.
project_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
package_version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(dpkg-parsechangelog -l resources/debian/changelog -S Version)
[ "$package_version" = "$project_version" ] || fail "the package's version $package_version is not project()'s $project_version"
[ "$changelog_version" = "$project_version" ] ||
  fail "resources/debian/changelog's latest entry is $changelog_version: add one for $project_version"

# lintian: no errors; warnings and hints are listed.
if command -v lintian > /dev/null; then
  lintian_out=$(lintian --display-info --pedantic "$deb" 2>&1 | grep -v 'running with root privileges' || true)
  [ -z "$lintian_out" ] || echo "$lintian_out"
  errors=$(grep -c '^E: ' <<< "$lintian_out" || true)
  echo "lintian: $errors errors, $(grep -c '^W: ' <<< "$lintian_out" || true) warnings," \
    "$(grep -c -E '^[IP]: ' <<< "$lintian_out" || true) hints"
  [ "$errors" -eq 0 ] || fail "lintian found errors"
else
  echo "lintian is not installed: skipped"
fi

# The installed tree.
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
doc=$tree/usr/share/doc/pelkoeditor
metainfo=$(ls "$tree"/usr/share/metainfo/*.metainfo.xml 2>/dev/null || true)
for f in usr/bin/pelkoEditor usr/bin/pelkoTool usr/share/man/man1/pelkoEditor.1.gz usr/share/man/man1/pelkoTool.1.gz \
  usr/share/applications/pelkoEditor.desktop usr/share/icons/hicolor/scalable/apps/pelkoEditor.svg \
  usr/share/doc/pelkoeditor/README.md usr/share/doc/pelkoeditor/copyright usr/share/doc/pelkoeditor/changelog.gz; do
  [ -f "$tree/$f" ] || fail "the package holds no /$f"
done
[ -n "$metainfo" ] || fail "the package holds no AppStream metainfo"
# Every picture the README shows (![...](path)), beside the installed README.
for picture in $(grep -oE '!\[[^]]*\]\([^):]+\)' README.md | sed -E 's/^.*\((.*)\)$/\1/' || true); do
  [ -f "$doc/$picture" ] || fail "the installed README shows $picture, which is not installed beside it"
done

desktop-file-validate "$tree/usr/share/applications/pelkoEditor.desktop" || fail "desktop-file-validate"
if [ -n "$metainfo" ]; then
  appstreamcli validate --no-net --pedantic --strict "$metainfo" || fail "appstreamcli validate"
  appstreamcli validate-tree --no-net --pedantic --strict "$tree" > /dev/null || fail "appstreamcli validate-tree"
fi
for page in "$tree"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "man $(basename "$page"): $warnings"
done
"$tree/usr/bin/pelkoTool" check "$tree/usr/share/pelkoEditor/samples/crusaders_unit_prod11.txt" ||
  fail "the packaged pelkoTool cannot check a packaged sample"

if [ "$failures" -gt 0 ]; then
  echo "package check: $failures failures" >&2
  exit 1
fi
echo "package check: passed"
