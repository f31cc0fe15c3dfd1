#include "render/render_svg.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace scenario {
namespace {

// Advance widths of the printable ASCII characters (32 to 126) in thousandths of the font size:
// for each character the larger of DejaVu Sans and Liberation Sans, regular and bold.
constexpr uint16_t kAsciiAdvance[95] = {
    349, 457, 521, 838, 696, 1002, 873, 307, 458, 458, 523, 838, 380, 416, 380, 366,  696, 696, 696,
    696, 696, 696, 696, 696, 696,  696, 400, 400, 838, 838, 838, 611, 1016, 774, 763, 734, 831, 684,
    684, 821, 837, 373, 557, 775,  638, 996, 837, 851, 733, 851, 771, 721,  683, 813, 774, 1104, 771,
    725, 726, 458, 366, 458, 838,  557, 500, 675, 716, 593, 716, 679, 436,  716, 712, 343, 343,  666,
    343, 1042, 712, 688, 716, 716, 494, 596, 479, 712, 652, 924, 646, 652, 583, 712, 366, 712, 838};
// Beyond ASCII: accented Latin letters stay below this; anything else (the per-mille sign is the
// widest the drawings write) below the second.
constexpr uint16_t kLatinAdvance = 1100;
constexpr uint16_t kOtherAdvance = 1450;

// The code point starting at `utf8[*at]`, advancing *at past it; a malformed byte counts as one.
uint32_t next_code_point(std::string_view utf8, size_t* at) {
  const unsigned char lead = static_cast<unsigned char>(utf8[*at]);
  const int extra = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
  uint32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
  ++*at;
  for (int i = 0; i < extra && *at < utf8.size(); ++i, ++*at) {
    code = (code << 6) | (static_cast<unsigned char>(utf8[*at]) & 0x3Fu);
  }
  return code;
}

constexpr const char* kSvgStyle =
    "<style>\n"
    "  text { font-family: 'DejaVu Sans', sans-serif; font-size: 11px; fill: #222; }\n"
    "  .world path, .world rect, .world line { vector-effect: non-scaling-stroke; }\n"
    "  .track { fill: none; stroke: #333; stroke-width: 1.6; }\n"
    "  .run-out { fill: none; stroke: #999; stroke-width: 1; stroke-dasharray: 4 3; opacity: 0.5; }\n"
    "  .km-mark { fill: #555; }\n"
    "  .km-label { font-size: 9px; fill: #666; }\n"
    "  .mountain { fill: none; stroke: #8e5b2e; stroke-width: 7; stroke-opacity: 0.5; }\n"
    "  .mountain-band { fill: #8e5b2e; fill-opacity: 0.55; }\n"
    "  .tunnel-label { font-size: 9px; fill: #5d3a1a; }\n"
    "  .slowdown { fill: none; stroke: #e67e22; stroke-width: 4; }\n"
    "  .slowdown-band { fill: #e67e22; fill-opacity: 0.16; }\n"
    "  .slowdown-speed { fill: none; stroke: #e67e22; stroke-width: 2.5; }\n"
    "  .slowdown-label { font-size: 10px; fill: #a85400; font-weight: bold; }\n"
    "  .station { fill: #1f4e9c; stroke: #fff; stroke-width: 1; }\n"
    "  .station-line { stroke: #1f4e9c; stroke-width: 0.8; stroke-dasharray: 3 3; fill: none; }\n"
    "  .station-label { fill: #1f4e9c; font-weight: bold; }\n"
    "  .station-time { font-weight: normal; font-size: 10px; fill: #333; }\n"
    "  .leader { stroke: #7a8aa6; stroke-width: 0.8; fill: none; }\n"
    "  .signal { fill: #c0392b; stroke: #c0392b; }\n"
    "  .warning { fill: #f1c40f; stroke: #8a6d00; stroke-width: 0.8; }\n"
    "  .speed-board { fill: #16a085; }\n"
    "  .board { fill: #7f8c8d; }\n"
    "  .height { fill: #cfe3c4; stroke: #4a7a3a; stroke-width: 1.2; }\n"
    "  .rise { fill: #e3a27a; } .fall { fill: #86a9e0; } .level { fill: #c9c9c9; }\n"
    "  .gradient-label { font-size: 9px; fill: #222; pointer-events: none; }\n"
    "  .speed-limit { fill: none; stroke: #2c3e50; stroke-width: 1.6; }\n"
    "  .speed-label { font-size: 10px; fill: #2c3e50; }\n"
    "  .axis { stroke: #555; stroke-width: 1; fill: none; }\n"
    "  .grid { stroke: #e2e2e2; stroke-width: 0.7; fill: none; }\n"
    "  .grid-strong { stroke: #c8c8c8; stroke-width: 0.9; fill: none; }\n"
    "  .line-end { stroke: #999; stroke-width: 1.2; stroke-dasharray: 6 3; fill: none; }\n"
    "  .tick-label, .km-tick { font-size: 10px; fill: #444; }\n"
    "  .caption { font-size: 12px; font-weight: bold; }\n"
    "  .note { font-size: 14px; fill: #666; }\n"
    "  .train-run { fill: none; stroke: #1f4e9c; stroke-width: 1.6; }\n"
    "  .stop { fill: none; stroke: #1f4e9c; stroke-width: 3.5; stroke-linecap: butt; }\n"
    "  .time-point { fill: #fff; stroke: #1f4e9c; stroke-width: 1.4; }\n"
    "  .time-label { font-size: 10px; fill: #1f4e9c; }\n"
    "  .scale-bar path { stroke: #333; stroke-width: 2; fill: none; }\n"
    "  .north { fill: #333; }\n"
    "</style>\n";

}  // namespace

std::string num(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  const std::string text = buffer;
  return text == "-0.0" ? "0.0" : text;
}

double round_tenth(double value) { return std::round(value * 10.0) / 10.0; }

std::string xml_text(std::string_view utf8) {
  std::string out;
  for (const char c : utf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F) {
          out += "\xEF\xBF\xBD";  // U+FFFD: XML cannot hold these control characters
        } else {
          out += c;
        }
    }
  }
  return out;
}

double text_width(std::string_view utf8, double font_size) {
  uint32_t thousandths = 0;
  for (size_t at = 0; at < utf8.size();) {
    const uint32_t code = next_code_point(utf8, &at);
    if (code >= 32 && code <= 126) {
      thousandths += kAsciiAdvance[code - 32];
    } else if (code >= 0x80 && code < 0x250) {
      thousandths += kLatinAdvance;
    } else {
      thousandths += kOtherAdvance;
    }
  }
  return thousandths * font_size / 1000.0;
}

Box text_box(double x, double y, std::string_view utf8, double font_size) {
  return {x, y - kTextAscent * font_size, x + text_width(utf8, font_size), y + kTextDescent * font_size};
}

double nice_step(double span, int most, double least) {
  for (double decade = least;; decade *= 10) {
    for (const double factor : {1.0, 2.0, 5.0}) {
      if (span / (decade * factor) <= most) return decade * factor;
    }
  }
}

int64_t kilometre_tick_step(int64_t line_length) {
  for (int64_t decade = 1000;; decade *= 10) {
    for (const int64_t factor : {1, 2, 5}) {
      if (line_length / (decade * factor) <= 25) return decade * factor;
    }
  }
}

std::string svg_open(double width, double height, const char* id, const std::string& title,
                     const std::string& attributes) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"" + std::string(id) + "\" width=\"" + num(width) +
         "\" height=\"" + num(height) + "\" viewBox=\"0 0 " + num(width) + " " + num(height) + "\" role=\"img\"" +
         attributes + ">\n<title>" + xml_text(title) + "</title>\n" + kSvgStyle;
}

}  // namespace scenario
