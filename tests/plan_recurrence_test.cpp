#include "model/plan_recurrence.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace scenario {
namespace {

uint64_t bits(double value) { return std::bit_cast<uint64_t>(value); }

// The recurrence written out metre by metre, the reference every faster form must match.
std::vector<PlanPoint> single_steps(PlanPoint before, PlanPoint last, int64_t count, double c) {
  std::vector<PlanPoint> points;
  for (int64_t i = 0; i < count; ++i) {
    const double dx = last.x - before.x;
    const double dy = last.y - before.y;
    const PlanPoint next{last.x + (dx + c * dy), last.y + (dy - c * dx)};
    points.push_back(next);
    before = last;
    last = next;
  }
  return points;
}

// Walks `count` metres from (before, last) and checks every point against single_steps, and the
// two points the walk leaves for the next run.
void expect_walk_matches_single_steps(PlanPoint before, PlanPoint last, int64_t count, double c) {
  const std::vector<PlanPoint> expected = single_steps(before, last, count, c);
  std::vector<PlanPoint> walked;
  plan_walk(before, last, count, c, [&](PlanPoint point) { walked.push_back(point); });
  ASSERT_EQ(walked.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(bits(walked[i].x), bits(expected[i].x)) << "metre " << i << " x";
    ASSERT_EQ(bits(walked[i].y), bits(expected[i].y)) << "metre " << i << " y";
  }
  if (count >= 2) {
    EXPECT_EQ(bits(before.x), bits(expected[expected.size() - 2].x));
    EXPECT_EQ(bits(before.y), bits(expected[expected.size() - 2].y));
  }
  if (count >= 1) {
    EXPECT_EQ(bits(last.x), bits(expected.back().x));
    EXPECT_EQ(bits(last.y), bits(expected.back().y));
  }
}

TEST(PlanRecurrenceTest, ClassCurvatures) {
  const double expected[] = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003, 0.0};
  for (int digit = 0; digit <= 7; ++digit) EXPECT_EQ(class_curvature(digit), expected[digit]) << digit;
}

// The worked example of the line's first curve: straight along +y to metre 800, then a left-hand
// class 5 curve.
TEST(PlanRecurrenceTest, FirstMetresOfALeftHandCurve) {
  std::vector<double> x(902, 0.0), y(902, 0.0);
  y[1] = 1.0;
  plan_run(x.data(), y.data(), 2, 800, 0.0);
  EXPECT_EQ(x[800], 0.0);
  EXPECT_EQ(y[800], 800.0);
  plan_run(x.data(), y.data(), 801, 900, -0.002);
  EXPECT_DOUBLE_EQ(x[801], -0.002);
  EXPECT_DOUBLE_EQ(y[802], 801.999996);
  EXPECT_NEAR(x[900], -10.0674, 5e-5);
  EXPECT_NEAR(y[900], 899.3347, 5e-5);
}

// A run computes exactly the bits of the recurrence written out metre by metre from the arrays,
// whatever the runs it is cut into; a run that ends before it starts writes nothing.
TEST(PlanRecurrenceTest, ARunGivesTheBitsOfSingleSteps) {
  constexpr int32_t kLast = 5000;
  const struct {
    int32_t to;
    double c;
  } runs[] = {{800, 0.0}, {1000, -0.003}, {1001, 0.0001}, {2500, 0.0004}, {2600, 0.0}, {kLast, -0.002}};
  std::vector<double> x(kLast + 1, 0.0), y(kLast + 1, 0.0);
  std::vector<double> sx = x, sy = y;
  y[1] = sy[1] = 1.0;
  int32_t from = 2;
  for (const auto& run : runs) {
    plan_run(x.data(), y.data(), from, run.to, run.c);
    plan_run(x.data(), y.data(), run.to + 1, run.to, 1.0);  // empty
    for (size_t m = static_cast<size_t>(from); m <= static_cast<size_t>(run.to); ++m) {
      const double dx = sx[m - 1] - sx[m - 2];
      const double dy = sy[m - 1] - sy[m - 2];
      sx[m] = sx[m - 1] + (dx + run.c * dy);
      sy[m] = sy[m - 1] + (dy - run.c * dx);
    }
    from = run.to + 1;
  }
  for (size_t m = 0; m <= kLast; ++m) {
    ASSERT_EQ(bits(x[m]), bits(sx[m])) << m;
    ASSERT_EQ(bits(y[m]), bits(sy[m])) << m;
  }
}

// A straight step from points whose step components are signed zeros, infinities, NaN or
// subnormal: the bits of the full expression, with c = 0 and with c = -0, wherever that is a
// number. Where it is a NaN the shortcut gives a NaN too; which NaN (its sign) IEEE leaves to the
// machine, and an optimiser may fold an expression into either, so no build can promise its bits.
// No description gives such a step (the next test).
TEST(PlanRecurrenceTest, AStraightStepKeepsTheBitsOfTheFullExpressionForZeroInfiniteAndNaNSteps) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double tiny = std::numeric_limits<double>::denorm_min();
  const double values[] = {0.0, -0.0, 1.0, -3.5, tiny, -tiny, 1e308, -1e308, inf, -inf, nan};
  for (const double c : {0.0, -0.0}) {
    for (const double x2 : values) {
      for (const double x1 : values) {
        for (const auto& [y2, y1] : {std::pair{1.0, 0.0}, {1.0, 1.0}, {1.0, 2.0}, {0.0, 0.0}, {0.0, -0.0},
                                     {-0.0, 0.0}, {1.0, inf}, {1.0, nan}, {inf, inf}}) {
          double x[3] = {x2, x1, 0.0};
          double y[3] = {y2, y1, 0.0};
          plan_run(x, y, 2, 2, c);
          const double dx = x1 - x2;
          const double dy = y1 - y2;
          SCOPED_TRACE(::testing::Message() << "c " << c << " x " << x2 << ", " << x1 << " y " << y2 << ", " << y1);
          const double full_x = x1 + (dx + c * dy);
          const double full_y = y1 + (dy - c * dx);
          if (std::isnan(full_x)) {
            EXPECT_TRUE(std::isnan(x[2]));
          } else {
            EXPECT_EQ(bits(x[2]), bits(full_x));
          }
          if (std::isnan(full_y)) {
            EXPECT_TRUE(std::isnan(y[2]));
          } else {
            EXPECT_EQ(bits(y[2]), bits(full_y));
          }
        }
      }
    }
  }
}

// The bound every line record's bits rest on: the longest line, 1,000,000 m, turning all the way
// at the sharpest class either way (the step grows fastest so), stays finite and within 10^8 m.
TEST(PlanRecurrenceTest, ThePlanOfTheLongestLineAtTheSharpestCurveStaysFinite) {
  constexpr int32_t kLongest = 1000000;
  const double sharpest = kCurveClassCurvature.back();
  for (const double c : {sharpest, -sharpest}) {
    std::vector<double> x(kLongest + 1);
    std::vector<double> y(kLongest + 1);
    x[0] = kPlanStart[0].x;
    y[0] = kPlanStart[0].y;
    x[1] = kPlanStart[1].x;
    y[1] = kPlanStart[1].y;
    plan_run(x.data(), y.data(), 2, kLongest, c);
    for (size_t m = 0; m < x.size(); ++m) {
      ASSERT_TRUE(std::isfinite(x[m]) && std::isfinite(y[m]) && std::abs(x[m]) < 1e8 && std::abs(y[m]) < 1e8) << m;
    }
    const double step = std::hypot(x.back() - x[x.size() - 2], y.back() - y[y.size() - 2]);
    EXPECT_LT(step, 100.0);
  }
}

// Where a straight's additions are exact, and how far: the reach is the number of steps before
// the coordinate would need a 54th bit of its shared unit.
TEST(PlanRecurrenceTest, ExactStraightReach) {
  const double inf = std::numeric_limits<double>::infinity();
  const double two53 = 9007199254740992.0;  // 2^53
  const struct {
    double last, step;
    int64_t limit, reach;
  } cases[] = {
      {0.0, 1.0, 1000, 1000},                                // whole numbers: exact beyond the limit
      {1.0, 1.0, int64_t{1} << 60, (int64_t{1} << 53) - 1},  // up to 2^53 and no further
      {0.5, 0.25, 10, 10},
      {two53 - 4.0, 1.0, 100, 4},                            // 2^53 is exact, 2^53 + 1 is not
      {two53 - 4.0, 2.0, 100, 100},                          // a unit of 2: exact up to 2^54
      {0.1, 0.1, 100, 1},  // 0.1 has all 53 bits: 0.2 is still exact, 0.3 is not
      {-3.0, 0.75, 8, 8},                                    // crossing zero stays exact
      {0.0, 0x1p1000, 10, 0},                                // 2^53 units of 2^1000 would pass the largest double
      {inf, 1.0, 10, 0},
      {std::numeric_limits<double>::quiet_NaN(), 1.0, 10, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.last << " + k * " << c.step);
    EXPECT_EQ(exact_straight_reach(c.last, c.step, c.limit), c.reach);
  }
}

// A walk gives the bits of the single steps on straights (where it computes exact stretches in
// closed form) and on curves, from points anywhere on the plane: after curves, near powers of two
// where the unit of a coordinate changes, across zero, tiny and huge.
TEST(PlanRecurrenceTest, AWalkGivesTheBitsOfSingleSteps) {
  std::mt19937_64 random(20261211);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  const double scales[] = {1e-3, 1.0, 700.0, 65536.0, 1e5, 3e6, 1e12};
  for (int trial = 0; trial < 400; ++trial) {
    const double scale = scales[static_cast<size_t>(trial) % std::size(scales)];
    const double angle = 3.14159 * unit(random);
    const PlanPoint step{std::sin(angle), std::cos(angle)};
    PlanPoint last{scale * unit(random), scale * unit(random)};
    if (trial % 4 == 1) {
      // A few steps short of a power of two, so that the walk crosses it.
      last.x = std::ldexp(1.0, static_cast<int>(trial % 40) - 10) - 5.5 * step.x;
    } else if (trial % 4 == 2) {
      last.y = -7.25 * step.y;  // crosses zero
    }
    const PlanPoint before{last.x - step.x, last.y - step.y};
    const double c = trial % 5 == 0 ? class_curvature(1 + trial % 6) : 0.0;
    const int64_t count = 1 + static_cast<int64_t>(random() % 3000);
    SCOPED_TRACE(::testing::Message() << "trial " << trial << " from (" << last.x << ", " << last.y << ") c " << c);
    expect_walk_matches_single_steps(before, last, count, c);
  }
  // A straight after a curve, from the plan's own start, as the line builds it.
  std::vector<PlanPoint> curve = single_steps(kPlanStart[0], kPlanStart[1], 700, 0.002);
  expect_walk_matches_single_steps(curve[698], curve[699], 200000, 0.0);
  // Along an axis: one step component is zero and that coordinate stays put, except from -0,
  // which the first metre turns into +0; and with steps that are not finite.
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<PlanPoint, PlanPoint> axes[] = {
      {kPlanStart[0], kPlanStart[1]}, {{3.0, 1e-310}, {3.5, 1e-310}}, {{-0.0, 0.0}, {-0.0, 1.0}},
      {{0.0, 0.0}, {0.0, -1.0}},      {{-0.0, 5.0}, {0.0, 4.0}},      {{2.0, -0.0}, {2.0, -0.0}},
      {{7.0, 1.0}, {7.0, inf}},       {{7.0, 1.0}, {7.0, nan}},       {{inf, 1.0}, {inf, 2.0}},
      {{1.0, 1.0}, {2.0, 1.0}}};
  for (const auto& [before, last] : axes) {
    SCOPED_TRACE(::testing::Message() << "(" << before.x << ", " << before.y << ") (" << last.x << ", " << last.y << ")");
    for (const double c : {0.0, -0.0}) expect_walk_matches_single_steps(before, last, 300, c);
  }
}

}  // namespace
}  // namespace scenario
