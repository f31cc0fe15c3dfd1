#!/usr/bin/env bash
# Browser check of the rendered scenario page, in headless Chromium driven through the DevTools
# protocol (over a pipe: nothing listens on the network).
#
#   tools/browser_check.sh SCENARIO_BUILD SCENARIO_TOOL OUT_FOLDER
#
# Compiles the embedded scenario with a copy of SCENARIO_BUILD in OUT_FOLDER/compiled, renders it
# with `SCENARIO_TOOL render` into OUT_FOLDER/page, opens the page and checks, in what the browser
# rendered:
#  - the DOM (OUT_FOLDER/dom.html): the three drawings, the track, one label per station of the
#    scenario record (names from the record itself, `scenario_tool dump --format json`) in the
#    plan, the profile and the chart, and one signal mark per signal cell;
#  - the labels' boxes as laid out (getBoundingClientRect): no two labels of a drawing intersect,
#    at rest and after zooming in with the mouse wheel; the zoom re-placed them; dragging pans;
#  - the chart labels every station that has a time with a time label; the profile writes
#    gradient figures in per mille;
#  - the screenshot (OUT_FOLDER/page.png, and zoomed.png after the zoom) has the window's size
#    and shows the drawings (pixels that are not background, the station colour);
#  - the network log: the page requested nothing (the browser's own background requests, kept on
#    this machine by the resolver rules, are told apart by their missing origin).
# Prints what it checked; exits 0 when everything holds, 1 otherwise.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 SCENARIO_BUILD SCENARIO_TOOL OUT_FOLDER" >&2
  exit 64
fi
build_bin=$(realpath "$1")
tool_bin=$(realpath "$2")
out=$3
browser=${CHROMIUM:-$(command -v chromium || command -v chromium-browser || true)}
if [ -z "$browser" ]; then
  echo "browser check: chromium not found (apt-get install -y chromium)" >&2
  exit 1
fi

rm -rf "$out"
mkdir -p "$out/compiled" "$out/profile"
out=$(realpath "$out")
cp "$build_bin" "$out/compiled/scenario_build"
# Exit status 1 (a compile error) still leaves the files; only 2 and 3 mean there are none.
status=0
"$out/compiled/scenario_build" || status=$?
if [ "$status" -ge 2 ]; then
  echo "browser check: scenario_build failed with exit status $status" >&2
  exit 1
fi
dat=$(ls "$out"/compiled/*.dat | grep -v '_linea\.dat$' | head -1)
sim=$(ls "$out"/compiled/*.sim | head -1)
plan=$(ls "$out"/compiled/*_linea.dat | head -1)
"$tool_bin" render --dat "$dat" --sim "$sim" --plan "$plan" --out "$out/page"
"$tool_bin" dump "$sim" --format json > "$out/record.json"
"$tool_bin" dump "$dat" --format json > "$out/cells.json"

timeout 300 python3 "$(dirname "$(realpath "$0")")/../tests/browser_check.py" "$browser" "$out" 1280 2400
