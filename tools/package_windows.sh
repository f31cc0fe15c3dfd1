#!/usr/bin/env bash
# Packs the Windows programs of a cross build (make windows) into one zip file:
#
#   tools/package_windows.sh [BUILD]     BUILD: build-windows unless given
#
# BUILD/scenario-compiler-VERSION-win64.zip holds one folder, scenario-compiler-VERSION-win64, with
# scenario_build.exe and scenario_tool.exe, README.md, doc/description-format.md and
# doc/scenario_page.png, and in licences/ the licence texts of what is linked into the programs:
# the mingw-w64 runtime (C runtime start-up and winpthreads), GCC's runtime libraries (libstdc++
# and libgcc, under the GCC Runtime Library Exception), CLI11 and nlohmann-json (header-only, in
# scenario_tool), each as Debian ships it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if [ -z "$version" ]; then
  echo "package_windows: no configured build in $build (run make windows)" >&2
  exit 1
fi
name=scenario-compiler-$version-win64
stage=$build/package/$name
rm -rf "$build/package" "$build/$name.zip"
mkdir -p "$stage/doc" "$stage/licences"
cp "$build/bin/scenario_build.exe" "$build/bin/scenario_tool.exe" README.md "$stage/"
cp doc/description-format.md doc/scenario_page.png "$stage/doc/"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licences/mingw-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$stage/licences/gcc-runtime-libstdc++-libgcc.txt"
cp /usr/share/doc/libcli11-dev/copyright "$stage/licences/CLI11.txt"
cp /usr/share/doc/nlohmann-json3-dev/copyright "$stage/licences/nlohmann-json.txt"
(cd "$build/package" && zip -q -X -r "../$name.zip" "$name")
echo "$build/$name.zip:"
unzip -l "$build/$name.zip" | awk 'NR > 3 && $4 != "" { print "  " $4 }' | grep -v -- '----'
