#include "model/rounding.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(NearTest, HalvesGoToTheEvenNeighbour) {
  struct Case {
    int64_t numerator, denominator, expected;
  } cases[] = {
      {5, 2, 2},   {7, 2, 4},   {1, 2, 0},   {3, 2, 2},   {-1, 2, 0},  {-3, 2, -2}, {-5, 2, -2},
      {4, 3, 1},   {5, 3, 2},   {-4, 3, -1}, {-5, 3, -2}, {0, 7, 0},   {100, 50, 2}, {125, 50, 2},
      {175, 50, 4}, {124, 50, 2}, {126, 50, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(near(c.numerator, c.denominator), c.expected) << c.numerator << "/" << c.denominator;
  }
}

TEST(NearTest, PositionToCell) {
  // p / 50 + 1 to the nearest cell, halves to even.
  struct Case {
    int64_t position, cell;
  } cases[] = {{0, 1}, {24, 1}, {25, 2}, {49, 2}, {75, 2}, {76, 3}, {19500, 391}, {-25, 0}, {-75, 0}};
  for (const Case& c : cases) EXPECT_EQ(cell_of_position(c.position), c.cell) << c.position;
}

TEST(NearTest, CellCountOfALine) {
  struct Case {
    int64_t length, cell_count;
  } cases[] = {{124000, 2620}, {1225, 164}, {1275, 166}, {1000000, 20140}, {0, 140}};
  for (const Case& c : cases) EXPECT_EQ(cell_count_for_length(c.length), c.cell_count) << c.length;
}

TEST(NearTest, BeyondModelComparesTheExactQuotient) {
  // N = 2620: (p + 100) / 50 > 2620 exactly when p > 130900.
  EXPECT_FALSE(beyond_model(130900, 100, 2620));
  EXPECT_TRUE(beyond_model(130901, 100, 2620));
  EXPECT_FALSE(beyond_model(130200, 800, 2620));
  EXPECT_TRUE(beyond_model(130201, 800, 2620));
}

}  // namespace
}  // namespace scenario
