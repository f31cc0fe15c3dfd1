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
//
// What a description can give is bounded: the start above, |c| <= 0.003 (the classes), at most
// 1,000,000 metres. The step length grows by sqrt(1 + c^2) per metre at most, to less than 100,
// so every coordinate stays below 10^8 and every value of the recurrence is finite: no infinity
// and no NaN reaches a line record, and its bits depend on nothing but these operations (IEEE
// leaves the sign and payload of a NaN to the machine and the optimiser, so a NaN would not).
#ifndef SCENARIO_MODEL_PLAN_RECURRENCE_H_
#define SCENARIO_MODEL_PLAN_RECURRENCE_H_

#include <algorithm>
#include <array>
#include <bit>
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

// The points of metres 0 and 1, where every plan starts (stored as 16-bit integers).
inline constexpr std::array<PlanPoint, 2> kPlanStart = {PlanPoint{0.0, 0.0}, PlanPoint{0.0, 1.0}};

// The point of metre m from those of metres m - 2 (`before`) and m - 1 (`last`), turned by c.
inline PlanPoint plan_step(PlanPoint before, PlanPoint last, double c) {
  const double dx = last.x - before.x;
  const double dy = last.y - before.y;
  return {last.x + (dx + c * dy), last.y + (dy - c * dx)};
}

// On a straight (c = 0) the turn terms c * dy and c * dx are signed zeros, and adding a zero to a
// finite nonzero number gives that number exactly: there x(m) = x(m-1) + dx and y(m) = y(m-1) + dy
// bit for bit, which halves the chain of dependent operations per metre. A zero, infinite or NaN
// step component takes the full expression, where a zero's sign or a NaN can matter (for a NaN,
// only that the result is one: its sign is the optimiser's).
inline bool adds_as_itself(double step) { return step != 0.0 && std::isfinite(step); }

// A finite double as an integer significand times a power of two: |v| = significand * 2^exponent.
struct BinaryParts {
  uint64_t significand;
  int exponent;
};

inline BinaryParts binary_parts(double v) {
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  constexpr int kFractionBits = 52;
  constexpr int kExponentBias = 1023 + kFractionBits;
  const int biased = static_cast<int>((bits >> kFractionBits) & 0x7FF);
  uint64_t significand = bits & ((uint64_t{1} << kFractionBits) - 1);
  if (biased != 0) significand |= uint64_t{1} << kFractionBits;
  return {significand, (biased != 0 ? biased : 1) - kExponentBias};
}

// On a straight, once a coordinate and its step are both multiples of one power of two g and every
// value coordinate + k * step stays within 2^53 g, each addition of the recurrence is exact: the step
// read back, x(m) - x(m-1), is the step itself, and x(m-1 + k) = x(m-1) + k * step exactly. That value
// can then be computed for each k on its own, as k * step (exact: a multiple of g within 2^53 g) plus
// the coordinate (exact for the same reason), with no chain from metre to metre.
//
// The number of metres, at most `limit`, over which that holds for `last` (finite) and `step`
// (finite, nonzero); 0 where it cannot be shown.
inline int64_t exact_straight_reach(double last, double step, int64_t limit) {
  constexpr int kExactBits = 53;
  constexpr int64_t kExactBound = int64_t{1} << kExactBits;
  if (!std::isfinite(last)) return 0;
  const BinaryParts l = binary_parts(last);
  const BinaryParts s = binary_parts(step);
  // g = 2^unit: the lowest set bit of the step, or of the coordinate where that is lower.
  int unit = s.exponent + std::countr_zero(s.significand);
  if (l.significand != 0) unit = std::min(unit, l.exponent + std::countr_zero(l.significand));
  // Far from any real plan, where 2^53 g would pass the largest double: no closed form there.
  constexpr int kHighestUnit = 1023 - kExactBits;
  if (unit > kHighestUnit) return 0;
  // Each value as a whole number of g, refused where it would reach 2^53.
  auto in_units = [unit](BinaryParts v) -> int64_t {
    const int shift = v.exponent - unit;  // >= -countr_zero(significand): the shift drops only zeros
    if (v.significand == 0) return 0;
    if (shift < 0) return static_cast<int64_t>(v.significand >> -shift);
    if (shift + static_cast<int>(std::bit_width(v.significand)) > kExactBits) return kExactBound;
    return static_cast<int64_t>(v.significand << shift);
  };
  const int64_t from = in_units(l);
  const int64_t by = in_units(s);
  if (from >= kExactBound || by >= kExactBound) return 0;
  return std::min(limit, (kExactBound - from) / by);
}

// The same for a coordinate on a straight whichever its step: a step of +0 (along an axis) keeps a
// finite coordinate other than -0 where it is, for as long as the other coordinate's step is finite:
// the coordinate adds +0 + c * other_step, a zero whose sum with +0 is +0, and reads back the step
// value - value = +0. Those metres are value + k * (+0) = value as well. Any other zero, infinite or
// NaN step: 0.
inline int64_t straight_reach(double value, double step, double other_step, int64_t limit) {
  if (step == 0.0) {
    const bool still = !std::signbit(step) && std::isfinite(value) && !(value == 0.0 && std::signbit(value)) &&
                       std::isfinite(other_step);
    return still ? limit : 0;
  }
  if (!std::isfinite(step) || !std::isfinite(other_step)) return 0;
  return exact_straight_reach(value, step, limit);
}

// The shortest straight block worth computing in closed form; shorter ones go metre by metre.
inline constexpr int64_t kMinExactBlock = 8;
// Metres computed one by one before a closed form is tried again.
inline constexpr int64_t kStepByStepStretch = 16;

// Advances the plan `count` metres with one curvature from the points of the two metres before
// (`before_metre`, `last_metre`, updated to the last two metres computed), handing each new point to
// emit(PlanPoint) in metre order. Every point has the bits of plan_step applied metre by metre.
// A curve is one tight loop; a straight is computed in closed-form blocks where its additions are
// exact (straight_reach), and metre by metre around them.
template <class Emit>
inline void plan_walk(PlanPoint& before_metre, PlanPoint& last_metre, int64_t count, double c, Emit&& emit) {
  // The two points live in locals for the loops: emit stores through pointers that could alias the
  // caller's points, which would otherwise be reloaded from memory at every metre.
  PlanPoint before = before_metre;
  PlanPoint last = last_metre;
  if (c != 0.0) {
    for (int64_t i = 0; i < count; ++i) {
      const PlanPoint next = plan_step(before, last, c);
      emit(next);
      before = last;
      last = next;
    }
  } else {
    while (count > 0) {
      const double dx = last.x - before.x;
      const double dy = last.y - before.y;
      {
        const int64_t reach = std::min(straight_reach(last.x, dx, dy, count), straight_reach(last.y, dy, dx, count));
        if (reach >= kMinExactBlock) {
          const PlanPoint origin = last;
          for (int64_t k = 1; k <= reach; ++k) {
            const double steps = static_cast<double>(k);
            emit(PlanPoint{origin.x + steps * dx, origin.y + steps * dy});
          }
          const double last_steps = static_cast<double>(reach);
          before = {origin.x + (last_steps - 1.0) * dx, origin.y + (last_steps - 1.0) * dy};
          last = {origin.x + last_steps * dx, origin.y + last_steps * dy};
          count -= reach;
          continue;
        }
      }
      const int64_t stretch = std::min(count, kStepByStepStretch);
      for (int64_t i = 0; i < stretch; ++i) {
        const double sx = last.x - before.x;
        const double sy = last.y - before.y;
        const PlanPoint next = adds_as_itself(sx) && adds_as_itself(sy) ? PlanPoint{last.x + sx, last.y + sy}
                                                                        : plan_step(before, last, c);
        emit(next);
        before = last;
        last = next;
      }
      count -= stretch;
    }
  }
  before_metre = before;
  last_metre = last;
}

// Computes metres `from` to `to` (inclusive) of the coordinate arrays x and y with one curvature;
// metres from - 2 and from - 1 must hold points (from >= 2).
inline void plan_run(double* x, double* y, int32_t from, int32_t to, double c) {
  if (to < from) return;
  size_t m = static_cast<size_t>(from);
  PlanPoint before{x[m - 2], y[m - 2]};
  PlanPoint last{x[m - 1], y[m - 1]};
  plan_walk(before, last, int64_t{to} - from + 1, c, [&](PlanPoint next) {
    x[m] = next.x;
    y[m] = next.y;
    ++m;
  });
}

}  // namespace scenario

#endif  // SCENARIO_MODEL_PLAN_RECURRENCE_H_
