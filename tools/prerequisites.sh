#!/usr/bin/env bash
# Makes sure this machine has the Debian packages a make target needs, before anything is built.
#
#   tools/prerequisites.sh NEED...     NEED: build bench test clang fuzz browser package windows, or all
#
# What is missing is installed with apt-get when this user may (root, or sudo without a password);
# otherwise the script prints the one apt-get line that installs it and fails, so that a build
# never stops half-way for want of a package. Each package is looked for by what it provides (a
# program or a header), so the check is quick and works however the package came there.
set -euo pipefail

missing=()

# want PACKAGE TEST...: PACKAGE is missing when the test fails.
want() {
  local package=$1
  shift
  if ! "$@" >/dev/null 2>&1; then
    for known in "${missing[@]+"${missing[@]}"}"; do
      [ "$known" = "$package" ] && return 0
    done
    missing+=("$package")
  fi
}
program() { command -v "$1"; }
header() { [ -f "/usr/include/$1" ]; }

compiler_and_build_tools() {
  want cmake program cmake
  want g++ program g++
  want ninja-build program ninja
  want libcli11-dev header CLI/CLI.hpp
  want nlohmann-json3-dev header nlohmann/json.hpp
}
googletest() {
  want libgtest-dev header gtest/gtest.h
  want libgmock-dev header gmock/gmock.h
}

needs=("$@")
[ ${#needs[@]} -gt 0 ] || needs=(build)
[ "${needs[*]}" != all ] || needs=(build bench test clang fuzz browser package windows)
for need in "${needs[@]}"; do
  case $need in
    # The release build of the programs.
    build) compiler_and_build_tools ;;
    # The benchmarks, in the release build.
    bench) want libbenchmark-dev header benchmark/benchmark.h ;;
    # The tests under the sanitizers; some check their JSON and XML with python3.
    # The real-client test of the language server runs Neovim headless.
    test) compiler_and_build_tools; googletest; want python3 program python3; want neovim program nvim ;;
    # Every target with clang.
    clang) compiler_and_build_tools; googletest; want libbenchmark-dev header benchmark/benchmark.h
      want clang-14 program clang++-14 ;;
    # The libFuzzer targets.
    fuzz) compiler_and_build_tools; want clang-14 program clang++-14
      want libclang-rt-14-dev compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a'
      want time program /usr/bin/time ;;
    # The rendered page in headless Chromium.
    browser) want chromium program chromium; want python3 program python3 ;;
    # The Debian packages (dpkg-shlibdeps finds what the programs link against).
    package) compiler_and_build_tools; want dpkg-dev program dpkg-shlibdeps ;;
    # The Windows programs, cross-built (mingw-w64), and their tests under Wine, Xvfb and xdotool
    # (ImageMagick's import takes the screenshots; zip packs the Windows archive).
    windows) compiler_and_build_tools; want g++-mingw-w64-x86-64-posix program x86_64-w64-mingw32-g++-posix
      want wine64 test -x /usr/lib/wine/wine64; want wine program wine; want xvfb program xvfb-run; want xdotool program xdotool
      want imagemagick program import; want zip program zip; want python3 program python3
      want googletest test -f /usr/src/googletest/CMakeLists.txt ;;
    *) echo "prerequisites: unknown need '$need' (build bench test clang fuzz browser package windows all)" >&2; exit 64 ;;
  esac
done

[ ${#missing[@]} -gt 0 ] || exit 0

install_line="apt-get install -y ${missing[*]}"
if ! command -v apt-get >/dev/null 2>&1; then
  echo "prerequisites: missing ${missing[*]} (Debian package names); install them, then run make again" >&2
  exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo)
else
  echo "prerequisites: missing ${missing[*]}; install them with" >&2
  echo "  sudo $install_line" >&2
  exit 1
fi
echo "prerequisites: installing ${missing[*]}"
"${as_root[@]+"${as_root[@]}"}" apt-get update -qq
"${as_root[@]+"${as_root[@]}"}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
