#!/usr/bin/env bash
# scenario_build.exe as a window program, under Wine on a virtual X display (Xvfb): finds its
# windows by title with xdotool, takes screenshots with ImageMagick's import, answers the message
# boxes with the keyboard, and checks the exit statuses and the files left.
#
#   tests/windows/window_check.sh WINDOWS_BIN FIXTURES WORK
#
# WINDOWS_BIN holds scenario_build.exe; FIXTURES the test programs that run the same driver on a
# scenario ending in the fatal report 1250 (scenario_build_fatal_fixture.exe) and on one with a
# compile error (scenario_build_compile_error_fixture.exe). WORK is made afresh and keeps the
# screenshots:
#   WORK/failure_screen.png   the wait window under the message box of a file that cannot be written
#   WORK/wait_window.png      the wait window alone
#   WORK/fatal_screen.png     the fatal report's message box over the wait window
#   WORK/fatal_box.png        the message box alone
#   WORK/compile_error_screen.png  the compile error's message box, once the files are written
# Without a display it runs itself under xvfb-run. Ends with "N passed, M failed"; exits 1 when a
# check failed.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 WINDOWS_BIN FIXTURES WORK" >&2
  exit 64
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash "$0" "$@"
fi
windows_bin=$(realpath "$1")
fixtures=$(realpath "$2")
work=$3
rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
export WINEPREFIX=${WINEPREFIX:-$work/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
# A safety net against a program that never shows what is awaited, not a measure of speed.
patience=300

passed=0
failed=0
check() {
  local label=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok:     $label"
  else
    failed=$((failed + 1))
    echo "FAILED: $label"
  fi
}

# window_of TITLE PID: the X window with exactly this title, once the process shows it; empty when
# the process ends first.
window_of() {
  local title=$1 pid=$2 waited=0 id
  while [ $waited -lt $((patience * 10)) ]; do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return
    fi
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
    waited=$((waited + 1))
  done
}

# The size of an X window, "WIDTHxHEIGHT".
size_of() { xdotool getwindowgeometry --shell "$1" | awk -F= '/^WIDTH/ {w = $2} /^HEIGHT/ {h = $2} END {print w "x" h}'; }

# Presses Return in the message box `id`, which takes the keyboard first.
answer() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.5
  xdotool key --clearmodifiers Return
}

# wait_exit PID: sets `status` to the program's exit status, or 124 when it does not end.
wait_exit() {
  local pid=$1 waited=0
  while kill -0 "$pid" 2>/dev/null && [ $waited -lt $((patience * 10)) ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    status=124
    return
  fi
  status=0
  wait "$pid" || status=$?
}

no_window_left() { [ -z "$(xdotool search --onlyvisible --name '^(Form1|Error|scenario_build)$' 2>/dev/null || true)" ]; }
holds_only() {
  local folder=$1
  shift
  [ "$(cd "$folder" && ls -A | sort)" = "$(printf '%s\n' "$@" | sort)" ]
}
# Whether a screenshot holds both near-black and light pixels.
painted() {
  local darkest lightest
  darkest=$(convert "$1" -colorspace Gray -format '%[fx:int(100*minima)]' info:)
  lightest=$(convert "$1" -colorspace Gray -format '%[fx:int(100*maxima)]' info:)
  [ "$darkest" -lt 30 ] && [ "$lightest" -gt 70 ]
}

echo "Wine prefix: $WINEPREFIX"
wine wineboot --init >/dev/null 2>&1 || true

six="MorvellaC_DrasconaX_5521.dat MorvellaC_DrasconaX_5521.sim MorvellaC_DrasconaX_5521_note.txt
MorvellaC_DrasconaX_5521_rallentamenti.txt MorvellaC_DrasconaX_5521_scheda_treno.txt MorvellaC_DrasconaX_linea.dat"

# 1. The first file cannot be written (a folder stands under its name): the wait window is up,
# painted, and the message box tells the path and the reason; nothing is written; status 3.
folder="$work/bloccato Zoë"
mkdir -p "$folder/MorvellaC_DrasconaX_linea.txt"
cp "$windows_bin/scenario_build.exe" "$folder/"
(cd "$work" && exec wine "$folder/scenario_build.exe") &
pid=$!
box=$(window_of scenario_build $pid)
check "a file-system failure is shown in a message box titled scenario_build" test -n "$box"
wait_id=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -n 1 || true)
check "the wait window Form1 is up while the report is shown" test -n "$wait_id"
if [ -n "$box" ]; then
  sleep 1
  import -window root "$work/failure_screen.png"
  if [ -n "$wait_id" ]; then
    import -window "$wait_id" "$work/wait_window.png"
    # No window manager runs on the virtual display: the X window is the client area alone.
    check "the wait window's client area is 280 x 179" test "$(size_of "$wait_id")" = 280x179
    check "the wait window is painted: dark letters on the light form" painted "$work/wait_window.png"
  fi
  check "nothing was written before the failure" holds_only "$folder" scenario_build.exe MorvellaC_DrasconaX_linea.txt
  answer "$box"
fi
wait_exit $pid
check "a file-system failure ends with status 3 (status $status)" test "$status" = 3
check "no window is left" no_window_left

# 2. The fatal report: a message box with the text, over the wait window; no binary file; status 2
# once it is answered.
folder="$work/fatale Zoë"
mkdir -p "$folder"
cp "$fixtures/scenario_build_fatal_fixture.exe" "$folder/scenario_build.exe"
(cd "$work" && exec wine "$folder/scenario_build.exe") &
pid=$!
box=$(window_of Error $pid)
check "the fatal report is a message box with the default title" test -n "$box"
check "the wait window Form1 is up under it" test -n "$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null || true)"
if [ -n "$box" ]; then
  sleep 1
  import -window root "$work/fatal_screen.png"
  import -window "$box" "$work/fatal_box.png"
  check "no binary file is written before the fatal report" \
    test -z "$(cd "$folder" && ls -A | grep -E '\.(dat|sim)$' || true)"
  answer "$box"
fi
wait_exit $pid
check "the fatal report ends with status 2 (status $status)" test "$status" = 2
check "nothing further is written after it" test -z "$(cd "$folder" && ls -A | grep -E '\.(dat|sim)$' || true)"
check "no window is left" no_window_left

# 3. A compile error: the report in a message box once the files are written; status 1 once it
# is answered.
folder="$work/errore Zoë"
mkdir -p "$folder"
cp "$fixtures/scenario_build_compile_error_fixture.exe" "$folder/scenario_build.exe"
(cd "$work" && exec wine "$folder/scenario_build.exe") &
pid=$!
box=$(window_of scenario_build $pid)
check "a compile error is shown in a message box titled scenario_build" test -n "$box"
if [ -n "$box" ]; then
  sleep 1
  import -window root "$work/compile_error_screen.png"
  check "the files are written before the compile error is shown" test -f "$folder/MorvellaC_DrasconaX_5521.dat" \
    -a -f "$folder/MorvellaC_DrasconaX_5521.sim" -a -f "$folder/MorvellaC_DrasconaX_linea.dat"
  answer "$box"
fi
wait_exit $pid
check "a compile error ends with status 1 (status $status)" test "$status" = 1
check "no window is left" no_window_left

# 4. A clean run shows only the wait window, which goes by itself: the six files and status 0,
# without anyone answering anything. The temporaries a killed run left (its process is gone) are
# removed.
folder="$work/pulito Zoë"
mkdir -p "$folder"
cp "$windows_bin/scenario_build.exe" "$folder/"
for stale in .MorvellaC_DrasconaX_linea.dat.~scenario-tmp~fffffffc00000000 .MorvellaC_DrasconaX_5521.sim.~scenario-tmp~fffffffc00000003; do
  echo "left by a killed run" >"$folder/$stale"
done
(cd "$work" && exec wine "$folder/scenario_build.exe") &
pid=$!
wait_exit $pid
check "a clean run ends by itself with status 0 (status $status)" test "$status" = 0
# shellcheck disable=SC2086
check "a clean run leaves exactly the six files, and no temporary" holds_only "$folder" scenario_build.exe $six
check "no window is left" no_window_left

# Wine's own processes for this display end with it.
wineserver -k 2>/dev/null || true
echo "screenshots: $work"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
