#!/usr/bin/env bash
# Runs both Windows programs under Wine and compares what they give, byte for byte, with what the
# Linux programs give for the same work: the files they write, standard output, standard error
# and the exit status.
#
#   tests/windows/compare_outputs.sh LINUX_BIN WINDOWS_BIN WORK
#
# LINUX_BIN holds scenario_build and scenario_tool (the release build), WINDOWS_BIN the .exe
# files. Everything happens under WORK, which is made afresh: the Linux runs in WORK/linux, the
# Windows runs in WORK/windows, each in a folder whose name holds a space and a non-ASCII letter.
# WINEPREFIX is taken from the environment (make test-windows makes one per run in the build
# folder), or made in WORK. Prints one line per comparison and ends with "N passed, M failed";
# exits 1 when a comparison failed.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 LINUX_BIN WINDOWS_BIN WORK" >&2
  exit 64
fi
# scenario_build.exe is a window program: it shows its wait window on a virtual display.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
linux_bin=$(realpath "$1")
windows_bin=$(realpath "$2")
work=$3
rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
export WINEPREFIX=${WINEPREFIX:-$work/wineprefix}
export WINEDEBUG=-all
# Wine turns the command line's bytes into UTF-16 by the locale's character set: UTF-8, as the
# Linux programs take them.
export LC_ALL=C.UTF-8
# No Mono or Gecko installers: the programs need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "same:      $1"; }
fail() { failed=$((failed + 1)); echo "DIFFERENT: $1"; }

# same LABEL LINUX_FILE WINDOWS_FILE: the two files hold the same bytes.
same() {
  if [ ! -f "$2" ] || [ ! -f "$3" ]; then
    fail "$1 (missing: $([ -f "$2" ] || echo "$2") $([ -f "$3" ] || echo "$3"))"
  elif cmp -s "$2" "$3"; then
    pass "$1"
  else
    fail "$1"
    cmp "$2" "$3" | head -n 1 || true
    diff <(od -c "$2" | head -n 40) <(od -c "$3" | head -n 40) | head -n 20 || true
  fi
}

# same_folder LABEL LINUX_DIR WINDOWS_DIR [IGNORED_NAME...]: the same names, each with the same bytes.
same_folder() {
  local label=$1 left=$2 right=$3
  shift 3
  local ignored=("$@") names_left names_right
  names_left=$(cd "$left" && ls -A | grep -vxF -f <(printf '%s\n' "${ignored[@]+"${ignored[@]}"}" "") || true)
  names_right=$(cd "$right" && ls -A | grep -vxF -f <(printf '%s\n' "${ignored[@]+"${ignored[@]}"}" "") || true)
  if [ "$names_left" != "$names_right" ]; then
    fail "$label: the files differ: Linux [$(echo $names_left)] Windows [$(echo $names_right)]"
    return
  fi
  pass "$label: the same $(echo "$names_left" | wc -l) files"
  local name
  for name in $names_left; do same "$label: $name" "$left/$name" "$right/$name"; done
}

# run_both NAME DIR COMMAND...: runs the Linux program in WORK/linux/DIR and the Windows one in
# WORK/windows/DIR (COMMAND's first word is the program: scenario_tool or scenario_build), each
# with standard output, standard error and the exit status kept in WORK/SIDE/NAME.{out,err,status}.
# In the arguments, @ stands for the folder separator: / on Linux, \ on Windows.
run_both() {
  local name=$1 dir=$2 program=$3
  shift 3
  local side
  for side in linux windows; do
    mkdir -p "$work/$side/$dir"
    local args=() arg
    for arg in "$@"; do
      if [ $side = windows ]; then args+=("${arg//@/\\}"); else args+=("${arg//@//}"); fi
    done
    local status=0
    if [ $side = linux ]; then
      (cd "$work/$side/$dir" && "$linux_bin/$program" "${args[@]+"${args[@]}"}") \
        >"$work/$side/$name.out" 2>"$work/$side/$name.err" || status=$?
    else
      (cd "$work/$side/$dir" && wine "$windows_bin/$program.exe" "${args[@]+"${args[@]}"}") \
        >"$work/$side/$name.out" 2>"$work/$side/$name.err" || status=$?
    fi
    echo "$status" >"$work/$side/$name.status"
  done
  same "$name: exit status $(cat "$work/linux/$name.status")" "$work/linux/$name.status" "$work/windows/$name.status"
  same "$name: standard output" "$work/linux/$name.out" "$work/windows/$name.out"
}

# The same, with standard error compared too.
run_both_with_errors() {
  run_both "$@"
  same "$1: standard error" "$work/linux/$1.err" "$work/windows/$1.err"
}

echo "Wine prefix: $WINEPREFIX"
wine wineboot --init >/dev/null 2>&1 || true

# scenario_build, run from a folder whose name has a space and a non-ASCII letter: exactly the six
# files appear beside it, the same bytes as on Linux.
folder="Scenari con spazi Zoë"
for side in linux windows; do mkdir -p "$work/$side/$folder"; done
cp "$linux_bin/scenario_build" "$work/linux/$folder/"
cp "$windows_bin/scenario_build.exe" "$work/windows/$folder/"
status_linux=0
status_windows=0
(cd "$work/linux" && "./$folder/scenario_build") >"$work/linux/build.out" 2>"$work/linux/build.err" || status_linux=$?
(cd "$work/windows" && wine "./$folder/scenario_build.exe") >"$work/windows/build.out" 2>"$work/windows/build.err" ||
  status_windows=$?
if [ "$status_linux" = 0 ] && [ "$status_windows" = 0 ]; then pass "scenario_build: exit status 0"; else
  fail "scenario_build: exit status Linux $status_linux, Windows $status_windows"; fi
same_folder "scenario_build" "$work/linux/$folder" "$work/windows/$folder" scenario_build scenario_build.exe
kept="$work/linux/$folder"

# scenario_tool: each command on the files above, in a folder with a space and a non-ASCII letter.
tool="Strumenti Zoë"
run_both_with_errors version "$tool" scenario_tool --version
run_both_with_errors help "$tool" scenario_tool --help
run_both_with_errors dump-help "$tool" scenario_tool dump --help
run_both_with_errors usage "$tool" scenario_tool dump
run_both_with_errors unknown-command "$tool" scenario_tool frobnicate

run_both_with_errors init "$tool" scenario_tool init "descrizioni Zoë"
same_folder "init" "$work/linux/$tool/descrizioni Zoë" "$work/windows/$tool/descrizioni Zoë"
# The refusal names the paths, joined with the system's separator: the same words otherwise.
run_both init-refused "$tool" scenario_tool init "descrizioni Zoë"
tr '\\' / <"$work/windows/init-refused.err" >"$work/windows/init-refused.err-slashes"
same "init-refused: standard error, separators aside" "$work/linux/init-refused.err" "$work/windows/init-refused.err-slashes"

line="descrizioni Zoë@MorvellaC_DrasconaX_linea.txt"
train="descrizioni Zoë@MorvellaC_DrasconaX_5521-.txt"
run_both_with_errors check "$tool" scenario_tool check --line "$line" --train "$train"
run_both_with_errors check-json "$tool" scenario_tool check --line "$line" --train "$train" --format json
run_both_with_errors compile "$tool" scenario_tool compile --line "$line" --train "$train" --out "compilati Zoë"
same_folder "compile" "$work/linux/$tool/compilati Zoë" "$work/windows/$tool/compilati Zoë"
for name in MorvellaC_DrasconaX_5521.dat MorvellaC_DrasconaX_5521.sim MorvellaC_DrasconaX_linea.dat; do
  same "compile: $name as scenario_build writes it" "$kept/$name" "$work/windows/$tool/compilati Zoë/$name"
done

# A description with a compile error and an unknown keyword: the report names the file, line and
# column (forward slashes on both sides, so that the reports are the same text).
for side in linux windows; do
  mkdir -p "$work/$side/$tool/errato"
  sed 's/^pendenza,  2900,/pendenz,  2900,/' "$work/linux/$tool/descrizioni Zoë/MorvellaC_DrasconaX_linea.txt" \
    >"$work/$side/$tool/errato/MorvellaC_DrasconaX_linea.txt"
  sed 's/^stazione,    4200,/stazione,    4225,/' \
    "$work/linux/$tool/descrizioni Zoë/MorvellaC_DrasconaX_5521-.txt" >"$work/$side/$tool/errato/MorvellaC_DrasconaX_5521-.txt"
done
run_both_with_errors check-errors "$tool" scenario_tool check --line errato/MorvellaC_DrasconaX_linea.txt \
  --train errato/MorvellaC_DrasconaX_5521-.txt
run_both_with_errors compile-error "$tool" scenario_tool compile --line errato/MorvellaC_DrasconaX_linea.txt \
  --train errato/MorvellaC_DrasconaX_5521-.txt --out errato/out
same_folder "compile-error" "$work/linux/$tool/errato/out" "$work/windows/$tool/errato/out"

# The compiled files, given as scenario_build wrote them on Linux.
for side in linux windows; do
  mkdir -p "$work/$side/$tool/compilati"
  cp "$kept"/MorvellaC_DrasconaX_5521.dat "$kept"/MorvellaC_DrasconaX_5521.sim "$kept"/MorvellaC_DrasconaX_linea.dat \
    "$work/$side/$tool/compilati/"
done
dat="compilati@MorvellaC_DrasconaX_5521.dat"
sim="compilati@MorvellaC_DrasconaX_5521.sim"
plan="compilati@MorvellaC_DrasconaX_linea.dat"
run_both_with_errors dump-dat "$tool" scenario_tool dump "$dat"
run_both_with_errors dump-sim "$tool" scenario_tool dump "$sim"
run_both_with_errors dump-plan "$tool" scenario_tool dump "$plan" --step 500
run_both_with_errors dump-dat-json "$tool" scenario_tool dump "$dat" --format json
run_both_with_errors dump-sim-json "$tool" scenario_tool dump "$sim" --format json
run_both_with_errors dump-plan-json "$tool" scenario_tool dump "$plan" --format json --step 1000
run_both_with_errors dump-missing "$tool" scenario_tool dump compilati/missing_5521.sim
run_both_with_errors decompile "$tool" scenario_tool decompile --dat "$dat" --sim "$sim" --plan "$plan" \
  --out "sorgenti Zoë"
same_folder "decompile" "$work/linux/$tool/sorgenti Zoë" "$work/windows/$tool/sorgenti Zoë"
run_both_with_errors render "$tool" scenario_tool render --dat "$dat" --sim "$sim" --plan "$plan" --out "pagina Zoë"
same_folder "render" "$work/linux/$tool/pagina Zoë" "$work/windows/$tool/pagina Zoë"

wineserver -k 2>/dev/null || true
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
