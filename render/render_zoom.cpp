#include "render/render_zoom.h"

#include "render/sha256.h"

namespace scenario {
namespace {

// Kept in ASCII: the hash in the page's policy is taken over these very bytes.
constexpr const char* kZoomScript = R"JS(
"use strict";
(function () {
  var steps = [1, 1.5, 2, 3, 4, 6, 8, 12, 16];
  function round(v) { return Math.round(v * 10) / 10; }
  function all(root, selector) { return Array.prototype.slice.call(root.querySelectorAll(selector)); }
  all(document, "svg[data-zoom]").forEach(function (svg) {
    var both = svg.getAttribute("data-zoom") === "xy";
    var plot = svg.querySelector("svg.plot");
    if (!plot) return;
    var width = plot.width.baseVal.value, height = plot.height.baseVal.value;
    var world = plot.querySelector(".world");
    var items = all(plot, "[data-at]").map(function (e) {
      var place = e.getAttribute("data-place");
      return {e: e, at: e.getAttribute("data-at").split(" ").map(Number),
              place: place === null ? null : place.split(";"),
              rotate: e.getAttribute("data-rotate") || "", leader: e.classList.contains("leader")};
    });
    var scales = all(svg, "[data-scales]").map(function (e) {
      return {e: e, steps: e.getAttribute("data-scales").split(";")};
    });
    var view = {step: 0, tx: 0, ty: 0, wheel: 0};
    var bar = document.createElement("div");
    var shown = document.createElement("span");
    function draw() {
      var s = steps[view.step];
      view.tx = Math.min(0, Math.max(width - s * width, view.tx));
      view.ty = both ? Math.min(0, Math.max(height - s * height, view.ty)) : 0;
      if (world) {
        world.setAttribute("transform", "matrix(" + s + " 0 0 " + (both ? s : 1) + " " + view.tx + " " + view.ty + ")");
      }
      items.forEach(function (it) {
        var p = it.place === null ? "0 0" : it.place[Math.min(view.step, it.place.length - 1)];
        if (p === "-") { it.e.setAttribute("visibility", "hidden"); return; }
        it.e.removeAttribute("visibility");
        var v = p.split(" ").map(Number);
        var x = s * it.at[0] + view.tx + v[0];
        var y = (both ? s * it.at[1] + view.ty : it.at[1]) + v[1];
        it.e.setAttribute("transform", "translate(" + round(x) + " " + round(y) + ")" + it.rotate);
        if (it.leader) it.e.setAttribute("d", "M0 0L" + v[2] + " " + v[3]);
      });
      scales.forEach(function (sc) {
        var q = sc.steps[Math.min(view.step, sc.steps.length - 1)].split(" ");
        sc.e.querySelector("path").setAttribute("d", "M0 0h" + q[0]);
        sc.e.querySelector("text").textContent = q.slice(1).join(" ");
      });
      svg.setAttribute("data-step", String(view.step));
      shown.textContent = "zoom " + s + "x";
    }
    function zoomTo(step, px, py) {
      step = Math.max(0, Math.min(steps.length - 1, step));
      var r = steps[step] / steps[view.step];
      view.tx = px - r * (px - view.tx);
      if (both) view.ty = py - r * (py - view.ty);
      view.step = step;
      draw();
    }
    function local(ev) {
      var m = plot.getScreenCTM();
      return {x: (ev.clientX - m.e) / m.a, y: (ev.clientY - m.f) / m.d};
    }
    svg.addEventListener("wheel", function (ev) {
      ev.preventDefault();
      view.wheel += ev.deltaY;
      if (Math.abs(view.wheel) < 50) return;
      var p = local(ev);
      zoomTo(view.step + (view.wheel < 0 ? 1 : -1), p.x, p.y);
      view.wheel = 0;
    }, {passive: false});
    var drag = null;
    svg.addEventListener("pointerdown", function (ev) {
      if (ev.button !== 0) return;
      ev.preventDefault();
      drag = {x: ev.clientX, y: ev.clientY, tx: view.tx, ty: view.ty};
      svg.setPointerCapture(ev.pointerId);
    });
    svg.addEventListener("pointermove", function (ev) {
      if (!drag) return;
      var m = plot.getScreenCTM();
      view.tx = drag.tx + (ev.clientX - drag.x) / m.a;
      view.ty = drag.ty + (ev.clientY - drag.y) / m.d;
      draw();
    });
    function release() { drag = null; }
    svg.addEventListener("pointerup", release);
    svg.addEventListener("pointercancel", release);
    bar.className = "zoom-bar";
    [["\u2212", "zoom out", function () { zoomTo(view.step - 1, width / 2, height / 2); }],
     ["+", "zoom in", function () { zoomTo(view.step + 1, width / 2, height / 2); }],
     ["reset", "whole drawing", function () { view.step = 0; view.tx = 0; view.ty = 0; draw(); }]
    ].forEach(function (b) {
      var button = document.createElement("button");
      button.type = "button";
      button.textContent = b[0];
      button.title = b[1];
      button.setAttribute("data-action", b[1]);
      button.addEventListener("click", b[2]);
      bar.appendChild(button);
    });
    bar.appendChild(shown);
    svg.parentNode.insertBefore(bar, svg);
    svg.classList.add("live");
    draw();
  });
})();
)JS";

std::string place_entry(const StepPlace& place, bool leader) {
  if (!place.shown) return "-";
  const double values[4] = {place.dx, place.dy, place.ex, place.ey};
  std::string entry;
  for (size_t i = 0; i < (leader ? 4u : 2u); ++i) {
    if (i > 0) entry += ' ';
    entry += num(values[i]);
  }
  return entry;
}

std::string place_attribute(const std::vector<StepPlace>& steps, bool leader) {
  std::vector<std::string> entries;
  for (const StepPlace& place : steps) entries.push_back(place_entry(place, leader));
  bool same = true;
  for (const std::string& entry : entries) same = same && entry == entries.front();
  if (same) entries.resize(1);
  std::string text;
  for (const std::string& entry : entries) text += (text.empty() ? "" : ";") + entry;
  return text;
}

}  // namespace

Point zoomed(Point anchor, double scale, ZoomAxes axes) {
  return {anchor.x * scale, axes == ZoomAxes::kXY ? anchor.y * scale : anchor.y};
}

std::string translate(Point point) { return "translate(" + num(point.x) + " " + num(point.y) + ")"; }

std::string zoom_attributes(Point anchor, const std::vector<StepPlace>& steps, const std::string& rotate) {
  const Point at{round_tenth(anchor.x), round_tenth(anchor.y)};
  std::string out = " data-at=\"" + num(at.x) + " " + num(at.y) + "\"";
  StepPlace first{true};
  if (!steps.empty()) {
    out += " data-place=\"" + place_attribute(steps, false) + "\"";
    first = steps.front();
  }
  if (!rotate.empty()) out += " data-rotate=\"" + rotate + "\"";
  out += " transform=\"" + translate({at.x + first.dx, at.y + first.dy}) + rotate + "\"";
  if (!first.shown) out += " visibility=\"hidden\"";
  return out;
}

std::string leader_element(Point anchor, const std::vector<StepPlace>& steps) {
  const Point at{round_tenth(anchor.x), round_tenth(anchor.y)};
  const StepPlace first = steps.empty() ? StepPlace{} : steps.front();
  std::string out = "<path class=\"leader\" data-at=\"" + num(at.x) + " " + num(at.y) + "\" data-place=\"" +
                    place_attribute(steps, true) + "\" transform=\"" + translate({at.x + first.dx, at.y + first.dy}) +
                    "\" d=\"M0 0L" + num(first.ex) + " " + num(first.ey) + "\"";
  if (!first.shown) out += " visibility=\"hidden\"";
  return out + "/>\n";
}

const std::string& zoom_script() {
  static const std::string script = kZoomScript;
  return script;
}

std::string zoom_script_source() {
  const Sha256Digest digest = sha256(zoom_script());
  return "'sha256-" + base64(digest.data(), digest.size()) + "'";
}

}  // namespace scenario
