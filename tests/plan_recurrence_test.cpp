#include "compiler/plan_recurrence.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace scenario {
namespace {

uint64_t bits(double value) { return std::bit_cast<uint64_t>(value); }

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
// subnormal: the bits of the full expression, with c = 0 and with c = -0.
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
          EXPECT_EQ(bits(x[2]), bits(x1 + (dx + c * dy)));
          EXPECT_EQ(bits(y[2]), bits(y1 + (dy - c * dx)));
        }
      }
    }
  }
}

}  // namespace
}  // namespace scenario
