// The plan recurrence: how the plan of the line advances metre by metre.
//
// The plan starts with the points (0, 0) and (0, 1) at metres 0 and 1, heading along +y one unit
// per metre. From metre 2 each point is the one before plus the step before, turned by the heading
// change per metre c of the curve that covers the metre (0 on a straight; 0.0001 to 0.003 for the
// classes "1" to "6", negative for a left-hand curve):
//   (dx, dy) = P(m-1) - P(m-2),  x(m) = x(m-1) + (dx + c * dy),  y(m) = y(m-1) + (dy - c * dx).
// The step length is not renormalised. These operations, in this order and in double precision,
// give the bits of the line record, so the line parser and the decompile both compute them here
// and nowhere else.
#ifndef SCENARIO_COMPILER_PLAN_RECURRENCE_H_
#define SCENARIO_COMPILER_PLAN_RECURRENCE_H_

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace scenario {

// Heading change per metre of the curve classes "1" to "6", in the order the class digit is looked
// for in a curve record's keyword.
inline constexpr int kCurveClassCount = 6;
inline constexpr std::array<double, kCurveClassCount> kCurveClassCurvature = {0.0001, 0.0002, 0.0004,
                                                                              0.001,  0.002,  0.003};

// The curvature of class digit 1 to 6; 0 for any other number.
constexpr double class_curvature(int class_digit) {
  if (class_digit < 1 || class_digit > kCurveClassCount) return 0.0;
  return kCurveClassCurvature[static_cast<size_t>(class_digit - 1)];
}

struct PlanPoint {
  double x;
  double y;
};

// The point of metre m from those of metres m - 2 (`before`) and m - 1 (`last`), turned by c.
inline PlanPoint plan_step(PlanPoint before, PlanPoint last, double c) {
  const double dx = last.x - before.x;
  const double dy = last.y - before.y;
  return {last.x + (dx + c * dy), last.y + (dy - c * dx)};
}

// On a straight (c = 0) the turn terms c * dy and c * dx are signed zeros, and adding a zero to a
// finite nonzero number gives that number exactly: there x(m) = x(m-1) + dx and y(m) = y(m-1) + dy
// bit for bit, which halves the chain of dependent operations per metre. A zero, infinite or NaN
// step component takes the full expression, where a zero's sign or a NaN can matter.
inline bool adds_as_itself(double step) { return step != 0.0 && std::isfinite(step); }

// Computes metres `from` to `to` (inclusive) of the coordinate arrays x and y with one curvature;
// metres from - 2 and from - 1 must hold points (from >= 2). The two points before each metre
// are carried in registers, so a whole straight or curve is one tight loop.
inline void plan_run(double* x, double* y, int32_t from, int32_t to, double c) {
  if (to < from) return;
  const size_t first = static_cast<size_t>(from);
  const size_t last_metre = static_cast<size_t>(to);
  PlanPoint before{x[first - 2], y[first - 2]};
  PlanPoint last{x[first - 1], y[first - 1]};
  if (c == 0.0) {
    for (size_t m = first; m <= last_metre; ++m) {
      const double dx = last.x - before.x;
      const double dy = last.y - before.y;
      const PlanPoint next = adds_as_itself(dx) && adds_as_itself(dy) ? PlanPoint{last.x + dx, last.y + dy}
                                                                      : plan_step(before, last, c);
      x[m] = next.x;
      y[m] = next.y;
      before = last;
      last = next;
    }
    return;
  }
  for (size_t m = first; m <= last_metre; ++m) {
    const PlanPoint next = plan_step(before, last, c);
    x[m] = next.x;
    y[m] = next.y;
    before = last;
    last = next;
  }
}

}  // namespace scenario

#endif  // SCENARIO_COMPILER_PLAN_RECURRENCE_H_
