#!/usr/bin/env python3
"""The page checks of the browser check, in headless Chromium driven through the DevTools protocol.

Usage: browser_check.py CHROMIUM OUT_FOLDER WIDTH HEIGHT

OUT_FOLDER holds what tools/browser_check.sh prepared: the rendered page (page/), the record and
the cells as dump gives them in JSON (record.json, cells.json). Prints what it checked; exits 0 when
everything holds, 1 otherwise.
"""
import base64, html.parser, json, os, select, signal, struct, subprocess, sys, time, zlib

browser, out, width, height = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
failures = []
def check(ok, words):
    print(("ok    " if ok else "FAIL  ") + words)
    if not ok:
        failures.append(words)

# What the scenario holds, from its own files.
record = json.load(open(out + "/record.json"))
station_entries = [e for e in record["entries"] if e["role"] == "station"]
stations = [e["name"] for e in station_entries]
timed = sorted(str(e["index"]) for e in station_entries if e["time_seconds"] != 0)
cells = json.load(open(out + "/cells.json"))["cells"]
signals = sum(1 for c in cells if c["kind_name"] == "signal")

# --- the browser, driven through the DevTools protocol on file descriptors 3 and 4 ---
class Browser:
    def __init__(self):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        def wire():  # in the child: the protocol's pipes on 3 and 4
            a, b = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(a, 3)
            os.dup2(b, 4)
        self.process = subprocess.Popen(
            [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-default-apps", "--disable-extensions", "--host-resolver-rules=MAP * ~NOTFOUND",
             "--hide-scrollbars", "--remote-debugging-pipe", "--user-data-dir=" + out + "/profile",
             "--window-size=%d,%d" % (width, height), "--log-net-log=" + out + "/net-log.json",
             "--net-log-capture-mode=Default", "about:blank"],
            pass_fds=(3, 4), preexec_fn=wire, start_new_session=True,
            stdout=open(out + "/chromium.log", "w"), stderr=subprocess.STDOUT)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer, self.next_id, self.events = b"", 0, []

    def call(self, method, params=None, session=None, timeout=60):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            reply = self.receive(timeout)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            self.events.append(reply)

    def receive(self, timeout):
        deadline = time.time() + timeout
        while b"\0" not in self.buffer:
            ready, _, _ = select.select([self.from_browser], [], [], max(0, deadline - time.time()))
            if not ready:
                raise TimeoutError("no answer from the browser")
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise EOFError("the browser closed the protocol pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def wait_event(self, method, timeout=60):
        for i, event in enumerate(self.events):
            if event.get("method") == method:
                return self.events.pop(i)
        deadline = time.time() + timeout
        while True:
            event = self.receive(max(0.1, deadline - time.time()))
            if event.get("method") == method:
                return event
            self.events.append(event)

    def close(self):
        try:
            self.call("Browser.close", timeout=20)
            self.process.wait(timeout=30)
        except Exception:
            pass
        if self.process.poll() is None:  # only the group this check started
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()

# Reads what the page laid out: every label of every drawing with its box on the screen, the zoom
# step, the world's transform and the plot's box.
COLLECT = r"""
(() => {
  const kinds = ["station-label", "km-label", "time-label", "speed-label", "slowdown-label", "gradient-label",
                 "tunnel-label"];
  const own = (e) => Array.from(e.childNodes).filter((n) => n.nodeType === 3).map((n) => n.data).join("");
  const drawings = {};
  for (const id of ["plan", "profile", "chart"]) {
    const svg = document.getElementById(id);
    if (!svg) continue;
    const labels = [];
    for (const e of svg.querySelectorAll("text")) {
      const cls = e.getAttribute("class");
      if (!kinds.includes(cls) || getComputedStyle(e).visibility === "hidden") continue;
      const r = e.getBoundingClientRect();
      const name = e.querySelector("tspan.station-name");
      labels.push({cls: cls, text: (name ? name.textContent : own(e)).trim(), station: e.getAttribute("data-station"),
                   transform: e.getAttribute("transform"), box: [r.left, r.top, r.right, r.bottom]});
    }
    const plot = svg.querySelector("svg.plot");
    const world = svg.querySelector(".world");
    const r = (plot || svg).getBoundingClientRect();
    drawings[id] = {labels: labels, step: svg.getAttribute("data-step"),
                    world: world ? world.getAttribute("transform") : null,
                    plot: [r.left + window.scrollX, r.top + window.scrollY, r.width, r.height]};
  }
  return JSON.stringify({drawings: drawings, bars: document.querySelectorAll(".zoom-bar").length});
})()
"""

def evaluate(b, session, expression):
    result = b.call("Runtime.evaluate", {"expression": expression, "returnByValue": True}, session)
    if "exceptionDetails" in result:
        raise RuntimeError("script failed: %s" % result["exceptionDetails"])
    return result["result"].get("value")

def overlaps(labels):
    found = []
    for i in range(len(labels)):
        for j in range(i + 1, len(labels)):
            a, c = labels[i]["box"], labels[j]["box"]
            if min(a[2], c[2]) - max(a[0], c[0]) > 0.5 and min(a[3], c[3]) - max(a[1], c[1]) > 0.5:
                found.append("%s / %s" % (labels[i]["text"], labels[j]["text"]))
    return found

def check_labels(state, when):
    for id in ("plan", "profile", "chart"):
        drawing = state["drawings"].get(id)
        if drawing is None:
            check(False, "%s: the drawing is on the page" % id)
            continue
        names = sorted(l["text"] for l in drawing["labels"] if l["cls"] == "station-label")
        check(names == sorted(stations), "%s %s: a label for each of the %d stations" % (id, when, len(stations)))
        station_overlaps = overlaps([l for l in drawing["labels"] if l["cls"] == "station-label"])
        check(not station_overlaps, "%s %s: no two station labels intersect%s" %
              (id, when, ": " + "; ".join(station_overlaps[:4]) if station_overlaps else ""))
        all_overlaps = overlaps(drawing["labels"])
        check(not all_overlaps, "%s %s: no two of its %d labels intersect%s" %
              (id, when, len(drawing["labels"]), ": " + "; ".join(all_overlaps[:4]) if all_overlaps else ""))
    chart = state["drawings"].get("chart", {"labels": []})
    labelled = sorted(l["station"] for l in chart["labels"] if l["cls"] == "time-label" and l["text"])
    check(labelled == timed, "chart %s: a time label for each of the %d stations with a time" % (when, len(timed)))
    figures = [l["text"] for l in state["drawings"].get("profile", {"labels": []})["labels"] if l["cls"] == "gradient-label"]
    check(figures and all(f.endswith("\u2030") for f in figures),
          "profile %s: gradient figures in per mille (%d shown: %s)" % (when, len(figures), ", ".join(figures[:5])))

def mouse(b, session, kind, x, y, **extra):
    params = {"type": kind, "x": x, "y": y}
    params.update(extra)
    b.call("Input.dispatchMouseEvent", params, session)

def scroll_to(b, session, id):
    evaluate(b, session, "document.getElementById('%s').scrollIntoView({block: 'center'}); 0" % id)
    state = json.loads(evaluate(b, session, COLLECT))
    scroll = evaluate(b, session, "JSON.stringify([window.scrollX, window.scrollY])")
    sx, sy = json.loads(scroll)
    x, y, w, h = state["drawings"][id]["plot"]
    return x - sx, y - sy, w, h

# Waits until the page has handled the input: `expression` holds, or five seconds have passed.
def settle(b, session, expression):
    deadline = time.time() + 5
    while not evaluate(b, session, expression) and time.time() < deadline:
        time.sleep(0.05)

def screenshot(b, session, path):
    data = b.call("Page.captureScreenshot", {"format": "png"}, session)["data"]
    open(path, "wb").write(base64.b64decode(data))

def drive():
    b = Browser()
    try:
        page = next(t for t in b.call("Target.getTargets")["targetInfos"] if t["type"] == "page")
        session = b.call("Target.attachToTarget", {"targetId": page["targetId"], "flatten": True})["sessionId"]
        b.call("Emulation.setDeviceMetricsOverride",
               {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False}, session)
        b.call("Page.enable", {}, session)
        b.call("Page.navigate", {"url": "file://" + out + "/page/index.html"}, session)
        b.wait_event("Page.loadEventFired")
        open(out + "/dom.html", "w", encoding="utf-8").write(
            evaluate(b, session, "document.documentElement.outerHTML"))
        screenshot(b, session, out + "/page.png")
        at_rest = json.loads(evaluate(b, session, COLLECT))
        # Zoom in three wheel notches over the middle of each drawing, and drag the plan.
        for id in ("plan", "profile", "chart"):
            x, y, w, h = scroll_to(b, session, id)
            for notch in range(1, 4):
                mouse(b, session, "mouseWheel", x + w * 0.45, y + h * 0.55, deltaX=0, deltaY=-100)
                settle(b, session, "document.getElementById('%s').getAttribute('data-step') == '%d'" % (id, notch))
        x, y, w, h = scroll_to(b, session, "plan")
        before_drag = json.loads(evaluate(b, session, COLLECT))["drawings"]["plan"]["world"]
        mouse(b, session, "mousePressed", x + w / 2, y + h / 2, button="left", buttons=1, clickCount=1)
        mouse(b, session, "mouseMoved", x + w / 2 + 60, y + h / 2 + 40, button="left", buttons=1)
        mouse(b, session, "mouseReleased", x + w / 2 + 60, y + h / 2 + 40, button="left", buttons=0, clickCount=1)
        settle(b, session, "document.querySelector('#plan .world').getAttribute('transform') != %s" %
               json.dumps(before_drag))
        evaluate(b, session, "window.scrollTo(0, 0); 0")
        screenshot(b, session, out + "/zoomed.png")
        zoomed = json.loads(evaluate(b, session, COLLECT))
        zoomed["dragged_from"] = before_drag
        return at_rest, zoomed
    finally:
        b.close()

at_rest, zoomed = drive()
check(at_rest["bars"] == 3, "the script ran: zoom buttons over the three drawings (%d)" % at_rest["bars"])
check_labels(at_rest, "at rest")
for id in ("plan", "profile", "chart"):
    before, after = at_rest["drawings"].get(id, {}), zoomed["drawings"].get(id, {})
    check(after.get("step") == "3", "%s: three wheel notches zoom in three steps (step %s)" % (id, after.get("step")))
    placed = {l["text"]: l["transform"] for l in before.get("labels", []) if l["cls"] == "station-label"}
    moved = sum(1 for l in after.get("labels", []) if l["cls"] == "station-label" and placed.get(l["text"]) != l["transform"])
    check(moved > 0, "%s: the zoom re-placed the station labels (%d moved)" % (id, moved))
check(zoomed["drawings"]["plan"]["world"] != zoomed["dragged_from"], "plan: dragging pans the drawing")
check_labels(zoomed, "zoomed in")

# What the browser built.
class Dom(html.parser.HTMLParser):
    """Counts classes per drawing and collects the station labels' names (without their times)."""
    def __init__(self):
        super().__init__()
        self.stack = []  # open elements as (tag, id)
        self.svgs = []
        self.labels = {"plan": [], "profile": [], "chart": []}
        self.classes = {}
        self.label = None  # [drawing, text] of the station label being read
        self.in_time = False
    def drawing(self):
        return next((i for t, i in reversed(self.stack) if t == "svg" and i in ("plan", "profile", "chart")), None)
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
check(all(d in dom.svgs for d in ("plan", "profile", "chart")), "the page holds the plan, the profile and the chart")
check(dom.classes.get(("plan", "track"), 0) == 1, "the plan draws the track")
check(dom.classes.get(("profile", "height"), 0) == 1, "the profile draws the height")
check(sorted(dom.labels["plan"]) == sorted(stations),
      "plan: one label per station of the scenario record (%d: %s)" % (len(stations), ", ".join(stations[:4]) + ("..." if len(stations) > 4 else "")))
check(sorted(dom.labels["profile"]) == sorted(stations), "profile: one label per station (%d)" % len(stations))
check(sorted(dom.labels["chart"]) == sorted(stations), "chart: one label per station (%d)" % len(stations))
check(dom.classes.get(("plan", "signal"), 0) == signals and dom.classes.get(("profile", "signal"), 0) <= signals,
      "plan: one mark per signal cell (%d)" % signals)

# The screenshot: size from its header, pixels from its image data.
png = open(out + "/page.png", "rb").read()  # the page at rest
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
