// The small pieces every drawing of the page is made of: numbers and texts for SVG, the size a
// text takes on screen, boxes, and the opening of a standalone SVG with the drawings' style.
//
// Text sizes are estimated, never measured: the drawings name their font ("DejaVu Sans", then
// any sans-serif), and text_width adds up per-character advance widths that are at least those of
// DejaVu Sans and Liberation Sans in bold, so that a label drawn in either font takes no more room
// than its estimated box. A text box reaches kTextAscent font sizes above its baseline and
// kTextDescent below.
#ifndef SCENARIO_RENDER_RENDER_SVG_H_
#define SCENARIO_RENDER_RENDER_SVG_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

inline constexpr double kTextAscent = 0.95;
inline constexpr double kTextDescent = 0.27;

// An axis-aligned box: x grows to the right, y downwards, as in SVG.
struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;

  double width() const { return x1 - x0; }
  double height() const { return y1 - y0; }
  // Whether the two boxes share any area (boxes that only touch do not).
  bool overlaps(const Box& other) const {
    return x0 < other.x1 && other.x0 < x1 && y0 < other.y1 && other.y0 < y1;
  }
  bool contains(const Box& other) const {
    return x0 <= other.x0 && other.x1 <= x1 && y0 <= other.y0 && other.y1 <= y1;
  }
  Box grown(double by) const { return {x0 - by, y0 - by, x1 + by, y1 + by}; }
  Box moved(double dx, double dy) const { return {x0 + dx, y0 + dy, x1 + dx, y1 + dy}; }
};

struct Point {
  double x = 0, y = 0;
};

// A coordinate for SVG with one decimal, finer than a screen pixel here ("-0.0" is written "0.0").
std::string num(double value);
// `value` rounded to the one decimal that num writes, so that what is computed from a written
// coordinate equals what the page computes from it.
double round_tenth(double value);

// Text for XML and HTML: & < > " ' escaped, and characters XML cannot hold replaced by U+FFFD.
std::string xml_text(std::string_view utf8);

// The width in pixels of a UTF-8 text at `font_size` pixels, an upper bound for the page's fonts.
double text_width(std::string_view utf8, double font_size);

// The box of a text whose baseline starts at (x, y), anchored at its start.
Box text_box(double x, double y, std::string_view utf8, double font_size);

// A round step for an axis over `span`: 1, 2 or 5 times a power of ten, at least `least`, so that
// the span holds at most `most` steps.
double nice_step(double span, int most, double least);

// Distance between two kilometre ticks for a line of the given length: 1, 2, 5, 10, 20, 50 ... km
// in metres, so that a line has at most 25 ticks.
int64_t kilometre_tick_step(int64_t line_length);

// The opening of a drawing: the <svg> element with its size, id and `attributes` (each with its
// leading blank), a title and the drawings' style sheet.
std::string svg_open(double width, double height, const char* id, const std::string& title,
                     const std::string& attributes = "");

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_SVG_H_
