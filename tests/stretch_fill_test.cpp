#include "compiler/stretch_fill.h"

#include <gtest/gtest.h>

#include <vector>

namespace scenario {
namespace {

// The gradient bytes of cells 0 to 9 after the fills, each fill writing its own value 1, 2, ...
std::vector<int> after_fills(const std::vector<std::pair<int64_t, int64_t>>& fills, int64_t* cursor) {
  std::vector<TrackCell> cells(10);
  StretchFill fill(&TrackCell::gradient);
  uint8_t value = 1;
  for (const auto& [until, highest] : fills) fill.fill_to(cells, until, highest, value++);
  *cursor = fill.cursor();
  std::vector<int> bytes;
  for (const TrackCell& cell : cells) bytes.push_back(cell.gradient);
  return bytes;
}

TEST(StretchFillTest, FillsFromTheCursorToTheCellBeforeUntil) {
  struct Case {
    const char* what;
    std::vector<std::pair<int64_t, int64_t>> fills;  // (until, highest)
    std::vector<int> bytes;
    int64_t cursor;
  };
  const std::vector<Case> cases = {
      {"one fill", {{4, 9}}, {1, 1, 1, 1, 0, 0, 0, 0, 0, 0}, 4},
      {"the next fill goes on from the cursor", {{4, 9}, {6, 9}}, {1, 1, 1, 1, 2, 2, 0, 0, 0, 0}, 6},
      {"a fill whose until the cursor has passed still writes one cell",
       {{4, 9}, {2, 9}},
       {1, 1, 1, 1, 2, 0, 0, 0, 0, 0},
       5},
      {"until 0 writes cell 0", {{0, 9}}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
      {"a fill stops at its highest cell", {{8, 5}}, {1, 1, 1, 1, 1, 1, 0, 0, 0, 0}, 6},
      {"past its highest cell a fill writes nothing", {{8, 5}, {9, 5}}, {1, 1, 1, 1, 1, 1, 0, 0, 0, 0}, 6},
      {"a later fill with a higher bound goes on", {{8, 5}, {9, 9}}, {1, 1, 1, 1, 1, 1, 2, 2, 2, 0}, 9},
      {"never past the array, whatever the bound", {{100, 100}}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int64_t cursor = -1;
    EXPECT_EQ(after_fills(c.fills, &cursor), c.bytes);
    EXPECT_EQ(cursor, c.cursor);
  }
}

TEST(StretchFillTest, TellsWhetherAFillWouldWriteACell) {
  std::vector<TrackCell> cells(10);
  StretchFill fill(&TrackCell::speed_limit);
  EXPECT_TRUE(fill.writes_a_cell(cells, 0));
  fill.fill_to(cells, 5, 4, 7);
  EXPECT_FALSE(fill.writes_a_cell(cells, 4));
  EXPECT_TRUE(fill.writes_a_cell(cells, 5));
  EXPECT_FALSE(fill.writes_a_cell(std::vector<TrackCell>(5), 100));
  EXPECT_EQ(cells[4].speed_limit, 7);
  EXPECT_EQ(cells[4].gradient, 0);  // only its own field

  std::vector<TrackCell> none;
  StretchFill empty(&TrackCell::adhesion);
  EXPECT_FALSE(empty.writes_a_cell(none, 10));
  empty.fill_to(none, 3, 10, 1);
  EXPECT_EQ(empty.cursor(), 0);
}

}  // namespace
}  // namespace scenario
