#include "compiler/line_features.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

namespace scenario {
namespace {

using Triple = std::array<int32_t, 3>;

void put(CompileState& state, int entry, const Triple& t) {
  state.station_table[static_cast<size_t>(entry)].area_start = t[0];
  state.station_table[static_cast<size_t>(entry)].area_end = t[1];
  state.station_table[static_cast<size_t>(entry)].position = t[2];
}

Triple get(const CompileState& state, int entry) {
  const StationEntry& e = state.station_table[static_cast<size_t>(entry)];
  return {e.area_start, e.area_end, e.position};
}

TEST(ProgressiveOrdinaTest, OrdersTheThreeProgressions) {
  const Triple z = {0, 0, 0};
  const struct {
    const char* what;
    Triple uno, due, tre;        // as read
    Triple e81, e82, e83;        // after ordering
  } cases[] = {
      {"all zero stay zero", z, z, z, z, z, z},
      {"largest first value first, flag adds 100", z, {50000, 3000, 1}, {80000, 0, 0},
       {80000, 0, 0}, {50000, 3100, 1}, z},
      {"no strictly largest first value clears all", {20000, 0, 0}, {20000, 0, 0}, z, z, z, z},
      {"three equal first values clear all", {100, 1, 0}, {100, 2, 0}, {100, 3, 0}, z, z, z},
      {"sum 0, uno's second positive: uno due tre", {0, 500, 1}, z, z, {0, 600, 1}, z, z},
      {"sum 0, due's second positive: due tre uno", z, {0, 300, 0}, {0, 200, 1},
       {0, 300, 0}, {0, 300, 1}, z},
      {"sum 0, only tre's second positive: tre due uno", {0, -5, 0}, z, {0, 400, 0},
       {0, 400, 0}, z, {0, -5, 0}},
      {"sum 0 with nonzero first values: seconds decide", {100, 0, 0}, {-100, 0, 0}, {0, 50, 0},
       {0, 50, 0}, {-100, 0, 0}, {100, 0, 0}},
      {"uno largest, due and tre tie: due before tre", {3000, 1, 0}, {1000, 2, 0}, {1000, 3, 0},
       {3000, 1, 0}, {1000, 2, 0}, {1000, 3, 0}},
      {"tre largest, uno and due tie: uno before due", {1000, 1, 0}, {1000, 2, 0}, {5000, 3, 0},
       {5000, 3, 0}, {1000, 1, 0}, {1000, 2, 0}},
      {"due largest, tre above uno", {100, 1, 0}, {9000, 2, 0}, {500, 3, 0},
       {9000, 2, 0}, {500, 3, 0}, {100, 1, 0}},
      {"flag other than 1 adds nothing", {300, 10, 2}, {200, 20, 1}, {100, 30, -1},
       {300, 10, 2}, {200, 120, 1}, {100, 30, -1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CompileState state;
    put(state, kEntryProgressionUno, c.uno);
    put(state, kEntryProgressionDue, c.due);
    put(state, kEntryProgressionTre, c.tre);
    EXPECT_TRUE(progressive_ordina(state));
    EXPECT_EQ(get(state, 81), c.e81);
    EXPECT_EQ(get(state, 82), c.e82);
    EXPECT_EQ(get(state, 83), c.e83);
  }
}

TEST(ProgressiveOrdinaTest, ReportsASecondValueThatCannotTakeTheHundred) {
  CompileState state;
  put(state, kEntryProgressionUno, {0, std::numeric_limits<int32_t>::max() - 99, 1});
  EXPECT_FALSE(progressive_ordina(state));
  EXPECT_EQ(get(state, 81), (Triple{0, std::numeric_limits<int32_t>::max() - 99, 1}));

  put(state, kEntryProgressionUno, {0, std::numeric_limits<int32_t>::max() - 100, 1});
  put(state, kEntryProgressionDue, {0, 0, 0});
  put(state, kEntryProgressionTre, {0, 0, 0});
  EXPECT_TRUE(progressive_ordina(state));
  EXPECT_EQ(get(state, 81)[1], std::numeric_limits<int32_t>::max());
}

// A model for the embedded line's length: cells 0 to 2620.
// The error number a placement was refused with, 0 when it placed.
int32_t refusal(const Placement& placement) { return placement.placed() ? 0 : error_code(placement.number()); }

CompileState line_model() {
  CompileState state;
  state.allocate_model(124000);
  return state;
}

TEST(MemoMontagnaTest, StretchesTheirTypesAndMarkers) {
  CompileState state = line_model();
  int32_t tipo = 12;
  memo_montagna(state, 23400, 23500, tipo);
  EXPECT_EQ(tipo, 2);
  EXPECT_EQ(state.cells[467].montagna_tipo, 0);
  EXPECT_EQ(state.cells[468].montagna_tipo, 2);
  EXPECT_EQ(state.cells[469].montagna_tipo, 2);
  EXPECT_EQ(state.cells[470].montagna_tipo, 0);
  EXPECT_EQ(state.cells[468].kind, kEmpty);
  EXPECT_EQ(state.cells[469].kind, kEmpty);

  // 50 m after the previous end: type 3, still marked; the 4th cell (474) gets a marker.
  tipo = 12;
  memo_montagna(state, 23550, 23800, tipo);
  EXPECT_EQ(tipo, 3);
  for (int i = 471; i <= 475; ++i) EXPECT_EQ(state.cells[static_cast<size_t>(i)].montagna_tipo, 3) << i;
  EXPECT_EQ(state.cells[476].montagna_tipo, 0);
  for (int i = 471; i <= 475; ++i) {
    EXPECT_EQ(state.cells[static_cast<size_t>(i)].kind, i == 474 ? kMountainMarker : kEmpty) << i;
  }
  EXPECT_EQ(state.montagna_count, 2);
  EXPECT_EQ(state.montagna_previous_end, 23800);
}

TEST(MemoMontagnaTest, MarkersEveryFourthFreeCellOfAMarkedStretchOnly) {
  CompileState state = line_model();
  state.cells[108].kind = kSignal;  // the 8th cell of the stretch below is taken
  int32_t tipo = 11;
  memo_montagna(state, 5050, 6000, tipo);  // cells 101 to 119
  EXPECT_EQ(tipo, 1);
  for (int i = 101; i <= 119; ++i) {
    const uint8_t expected = (i == 104 || i == 112 || i == 116) ? kMountainMarker : (i == 108 ? kSignal : kEmpty);
    EXPECT_EQ(state.cells[static_cast<size_t>(i)].kind, expected) << i;
    EXPECT_EQ(state.cells[static_cast<size_t>(i)].montagna_tipo, 1) << i;
  }

  tipo = 2;  // not marked
  memo_montagna(state, 20000, 21000, tipo);
  for (int i = 400; i <= 419; ++i) EXPECT_EQ(state.cells[static_cast<size_t>(i)].kind, kEmpty) << i;
  EXPECT_EQ(state.cells[410].montagna_tipo, 2);
}

// Marking begins above type 10: a stretch of type exactly 10 keeps that type and gets no marker.
TEST(MemoMontagnaTest, OnlyTypesAbove10AreMarked) {
  const struct {
    int32_t tipo;
    int32_t tipo_after;
    bool markers;
  } cases[] = {{10, 10, false}, {11, 1, true}, {9, 9, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tipo);
    CompileState state = line_model();
    int32_t tipo = c.tipo;
    memo_montagna(state, 5050, 6000, tipo);  // cells 101 to 119
    EXPECT_EQ(tipo, c.tipo_after);
    for (int i = 101; i <= 119; ++i) {
      EXPECT_EQ(state.cells[static_cast<size_t>(i)].montagna_tipo, c.tipo_after) << i;
      const bool marker = c.markers && (i - 100) % 4 == 0;
      EXPECT_EQ(state.cells[static_cast<size_t>(i)].kind, marker ? kMountainMarker : kEmpty) << i;
    }
  }
}

TEST(MemoMontagnaTest, AdjacencyUpToAGapOf150Metres) {
  const struct {
    int32_t gap;
    int32_t tipo_after;
  } cases[] = {{150, 3}, {151, 5}, {0, 3}, {-500, 3}, {1000, 5}};
  for (const auto& c : cases) {
    CompileState state = line_model();
    int32_t first = 4;
    memo_montagna(state, 10000, 11000, first);
    int32_t tipo = 5;
    memo_montagna(state, 11000 + c.gap, 13000, tipo);
    EXPECT_EQ(tipo, c.tipo_after) << c.gap;
  }
  // The first stretch of the line has no previous one, whatever end is left from before.
  CompileState state = line_model();
  state.montagna_previous_end = 9950;
  int32_t tipo = 5;
  memo_montagna(state, 10000, 11000, tipo);
  EXPECT_EQ(tipo, 5);
}

TEST(MemoMontagnaTest, StretchesOutsideTheArrayWriteOnlyCellsInsideIt) {
  CompileState state = line_model();
  int32_t tipo = 12;
  memo_montagna(state, 130000, 2000000000, tipo);  // cells 2600 to far beyond 2620
  EXPECT_EQ(state.cells[2599].montagna_tipo, 0);
  EXPECT_EQ(state.cells[2600].montagna_tipo, 2);
  EXPECT_EQ(state.cells[2620].montagna_tipo, 2);
  EXPECT_EQ(state.cells[2603].kind, kMountainMarker);

  // Starting before the line: the cells are counted from the stretch's own first cell (-10),
  // so cells 1 and 5 are its 12th and 16th.
  CompileState early = line_model();
  tipo = 12;
  memo_montagna(early, -500, 300, tipo);
  for (int i = 0; i <= 5; ++i) {
    EXPECT_EQ(early.cells[static_cast<size_t>(i)].montagna_tipo, 2) << i;
    EXPECT_EQ(early.cells[static_cast<size_t>(i)].kind, (i == 1 || i == 5) ? kMountainMarker : kEmpty) << i;
  }
  EXPECT_EQ(early.cells[6].montagna_tipo, 0);

  // Extreme positions compute in 64 bits and touch nothing outside the array.
  const std::vector<TrackCell> before = early.cells;
  tipo = 12;
  memo_montagna(early, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min(), tipo);
  tipo = 12;
  memo_montagna(early, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(), tipo);
  EXPECT_EQ(early.cells, before);

  CompileState no_cells;
  tipo = 12;
  memo_montagna(no_cells, 0, 1000, tipo);
  EXPECT_EQ(no_cells.montagna_count, 1);
}

TEST(MemoMontagnaTest, MoreThan80StretchesAreLaidAndAdjacencyFollowsTheLastOne) {
  CompileState state = line_model();
  for (int n = 1; n <= 81; ++n) {
    int32_t tipo = 2;
    memo_montagna(state, n * 1000, n * 1000 + 200, tipo);
  }
  // Stretch 82 begins 100 m after stretch 81 ends: adjacent, although 81 is not in the tables.
  int32_t tipo = 2;
  memo_montagna(state, 81300, 82000, tipo);
  EXPECT_EQ(tipo, 3);
  EXPECT_EQ(state.montagna_count, 82);
  EXPECT_EQ(state.cells[1621].montagna_tipo, 2);
  EXPECT_EQ(state.cells[1630].montagna_tipo, 3);
}

TEST(MemoIndicatoriVMaxTest, EncodesTheBoard) {
  const struct {
    int32_t posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
    size_t cell;
    int16_t a, b, c, d;
  } cases[] = {
      {1050, 125, 135, 140, 0, 0, 0, 0, 0, 22, 2500, 2700, 2800, 0},
      {33150, 90, 100, 100, 2, 0, 0, 0, 0, 664, 1800, 2000, 2000, 20},
      {1000, 90, 0, 0, 1, 85, 3, -3, 3, 21, 1817, 1, -1, 13},
      {0, 1638, -1638, 0, 65538, 35, -35, 0, 0, 1, 32767, -32767, 0, 20},
      {500, 0, 0, 0, 3277, 0, 0, 0, 0, 11, 0, 0, 0, -32766},
      {-75, 1, 1, 1, 0, 0, 0, 0, 0, 0, 20, 20, 20, 0},
  };
  for (const auto& c : cases) {
    CompileState state = line_model();
    EXPECT_EQ(refusal(memo_indicatori_v_max(state, SpeedBoardRecord{c.posizione, c.vas, c.vbs, c.vcs, c.strisces,
                                                                   c.vad, c.vbd, c.vcd, c.strisced})),
              0)
        << c.posizione;
    const TrackCell& cell = state.cells[c.cell];
    EXPECT_EQ(cell.kind, kSpeedBoard) << c.posizione;
    EXPECT_EQ(cell.value_a, c.a) << c.posizione;
    EXPECT_EQ(cell.value_b, c.b) << c.posizione;
    EXPECT_EQ(cell.value_c, c.c) << c.posizione;
    EXPECT_EQ(cell.value_d, c.d) << c.posizione;
    EXPECT_EQ(state.error().ErrorCode, 0);
  }
}

TEST(MemoIndicatoriVMaxTest, TakenCellsAndCellsOutsideTheArrayAreError21) {
  CompileState state = line_model();
  state.cells[22].kind = kMountainMarker;
  EXPECT_EQ(refusal(memo_indicatori_v_max(state, SpeedBoardRecord{1050, 100, 0, 0, 0, 0, 0, 0, 0})), 0);
  EXPECT_EQ(state.cells[22].kind, kSpeedBoard);

  for (uint8_t kind : {kBoardText, kSpeedBoard, kSignal}) {
    CompileState taken = line_model();
    taken.cells[30].kind = kind;
    const TrackCell before = taken.cells[30];
    EXPECT_EQ(refusal(memo_indicatori_v_max(taken, SpeedBoardRecord{1450, 100, 0, 0, 0, 0, 0, 0, 0})), 21);
    EXPECT_EQ(taken.error().ErrorCode, 0);  // the caller records the refusal
    EXPECT_EQ(taken.cells[30], before);
  }
  for (int32_t outside : {-100, 131001, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
    CompileState s = line_model();
    EXPECT_EQ(refusal(memo_indicatori_v_max(s, SpeedBoardRecord{outside, 100, 0, 0, 0, 0, 0, 0, 0})), 21) << outside;
  }
}

TEST(MemoIndicatoriVMaxTest, SpeedsBeyond16BitsPlaceNothing) {
  constexpr int32_t kLongMax = std::numeric_limits<int32_t>::max();
  const struct {
    int32_t vas, vad;
  } cases[] = {{1639, 0}, {1638, 40}, {-1639, 0}, {kLongMax, kLongMax}};
  for (const auto& c : cases) {
    CompileState state = line_model();
    EXPECT_EQ(refusal(memo_indicatori_v_max(state, SpeedBoardRecord{1050, c.vas, 0, 0, 0, c.vad, 0, 0, 0})), 25);
    EXPECT_EQ(state.cells[22], TrackCell());
    EXPECT_EQ(state.error().ErrorCode, 0);
  }
}

}  // namespace
}  // namespace scenario
