#!/usr/bin/env bash
# Browser check of the rendered scenario page, in headless Chromium.
#
#   tools/browser_check.sh SCENARIO_BUILD SCENARIO_TOOL OUT_FOLDER
#
# Compiles the embedded scenario with a copy of SCENARIO_BUILD in OUT_FOLDER/compiled, renders it
# with `SCENARIO_TOOL render` into OUT_FOLDER/page, then opens the page in Chromium three ways:
#  - --dump-dom: the rendered DOM must hold both drawings, the track, and one label in the plan and
#    one in the profile for every station of the scenario record (names taken from the record
#    itself through `scenario_tool dump --format json`), and one signal mark per signal cell;
#  - --screenshot: OUT_FOLDER/page.png must have the window's size and show the drawings (enough
#    pixels that are not background, and the station colour when there are stations);
#  - a network log: the page must not request anything (the browser's own background requests,
#    kept on this machine by the resolver rules, are told apart by their missing origin).
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

width=1280
height=2400
chromium_run() {
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --disable-default-apps --disable-extensions --host-resolver-rules="MAP * ~NOTFOUND" \
    --user-data-dir="$out/profile" --window-size=$width,$height "$@" "file://$out/page/index.html"
}
chromium_run --dump-dom > "$out/dom.html" 2> "$out/chromium-dom.log"
chromium_run --screenshot="$out/page.png" --log-net-log="$out/net-log.json" --net-log-capture-mode=Default \
  > "$out/chromium-shot.log" 2>&1

python3 - "$out" $width $height <<'EOF'
import html.parser, json, re, struct, sys, zlib

out, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
failures = []
def check(ok, words):
    print(("ok    " if ok else "FAIL  ") + words)
    if not ok:
        failures.append(words)

# What the scenario holds, from its own files.
record = json.load(open(out + "/record.json"))
stations = [e["name"] for e in record["entries"] if e["role"] == "station"]
cells = json.load(open(out + "/cells.json"))["cells"]
signals = sum(1 for c in cells if c["kind_name"] == "signal")

# What the browser built.
class Dom(html.parser.HTMLParser):
    """Counts classes per drawing and collects the station labels' names (without their times)."""
    def __init__(self):
        super().__init__()
        self.stack = []  # open elements as (tag, id)
        self.svgs = []
        self.labels = {"plan": [], "profile": []}
        self.classes = {}
        self.label = None  # [drawing, text] of the station label being read
        self.in_time = False
    def drawing(self):
        return next((i for t, i in reversed(self.stack) if t == "svg" and i in ("plan", "profile")), None)
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        classes = (a.get("class") or "").split()
        if tag == "svg" and a.get("id"):
            self.svgs.append(a["id"])
        for cls in classes:
            key = (self.drawing(), cls)
            self.classes[key] = self.classes.get(key, 0) + 1
        if tag == "text" and "station-label" in classes and self.drawing():
            self.label = [self.drawing(), ""]
        if tag == "tspan" and "station-time" in classes:
            self.in_time = True
        if tag not in ("meta", "link", "br", "hr", "img", "input"):
            self.stack.append((tag, a.get("id")))
    def handle_endtag(self, tag):
        while self.stack and self.stack.pop()[0] != tag:
            pass
        if tag == "tspan":
            self.in_time = False
        if tag == "text" and self.label:
            self.labels[self.label[0]].append(self.label[1].strip())
            self.label = None
    def handle_data(self, data):
        if self.label and not self.in_time:
            self.label[1] += data

dom = Dom()
dom.feed(open(out + "/dom.html", encoding="utf-8").read())
check("plan" in dom.svgs and "profile" in dom.svgs, "the page holds the plan and the profile drawings")
check(dom.classes.get(("plan", "track"), 0) == 1, "the plan draws the track")
check(dom.classes.get(("profile", "height"), 0) == 1, "the profile draws the height")
check(sorted(dom.labels["plan"]) == sorted(stations),
      "plan: one label per station of the scenario record (%d: %s)" % (len(stations), ", ".join(stations[:4]) + ("..." if len(stations) > 4 else "")))
check(sorted(dom.labels["profile"]) == sorted(stations), "profile: one label per station (%d)" % len(stations))
check(dom.classes.get(("plan", "signal"), 0) == signals and dom.classes.get(("profile", "signal"), 0) <= signals,
      "plan: one mark per signal cell (%d)" % signals)

# The screenshot: size from its header, pixels from its image data.
png = open(out + "/page.png", "rb").read()
check(png[:8] == b"\x89PNG\r\n\x1a\n", "the screenshot is a PNG")
pos, chunks = 8, {}
idat = b""
while pos < len(png):
    length, kind = struct.unpack(">I4s", png[pos:pos + 8])
    body = png[pos + 8:pos + 8 + length]
    if kind == b"IHDR":
        chunks["IHDR"] = body
    elif kind == b"IDAT":
        idat += body
    pos += 12 + length
w, h, depth, colour = struct.unpack(">IIBB", chunks["IHDR"][:10])
check((w, h) == (width, height), "the screenshot is %dx%d" % (w, h))
channels = {2: 3, 6: 4}.get(colour)
check(depth == 8 and channels is not None, "the screenshot is 8-bit RGB or RGBA")
if depth == 8 and channels:
    raw = zlib.decompress(idat)
    stride = w * channels
    previous = bytearray(stride)
    drawn = station_colour = 0
    i = 0
    for y in range(h):
        kind = raw[i]; i += 1
        line = bytearray(raw[i:i + stride]); i += stride
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1: line[x] = (line[x] + a) & 255
            elif kind == 2: line[x] = (line[x] + b) & 255
            elif kind == 3: line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        for x in range(0, stride, channels):
            r, g, bl = line[x], line[x + 1], line[x + 2]
            if min(r, g, bl) < 235:
                drawn += 1
            if abs(r - 0x1f) < 24 and abs(g - 0x4e) < 24 and abs(bl - 0x9c) < 24:
                station_colour += 1
        previous = line
    check(drawn > w * h // 100, "the screenshot shows drawings (%d drawn pixels)" % drawn)
    check(station_colour > 0 or not stations, "the screenshot shows the station colour (%d pixels)" % station_colour)

# The network log: the browser's own background requests have no origin ("not an origin"; the
# host resolver rules keep them on this machine); a request that the page made carries the page's
# origin, "null" for a file. There must be none.
text = open(out + "/net-log.json", encoding="utf-8", errors="replace").read().rstrip()
try:
    log = json.loads(text)
except ValueError:  # a log cut short by the browser's exit: close its event list
    log = json.loads(text.rstrip(",") + "]}")
event_names = {number: name for name, number in log["constants"]["logEventTypes"].items()}
page_requests = sorted({e["params"]["url"] for e in log["events"]
                        if event_names.get(e["type"]) == "URL_REQUEST_START_JOB" and "url" in e.get("params", {})
                        and e["params"].get("initiator") != "not an origin"})
check(not page_requests, "the page requests nothing from the network" +
      (": " + ", ".join(page_requests[:5]) if page_requests else ""))

print("browser check: %d failed" % len(failures))
sys.exit(1 if failures else 0)
EOF
