#include "compiler/post_processing.h"

#include <gtest/gtest.h>

#include <vector>

namespace scenario {
namespace {

using Cells = std::vector<int>;

// A hand-made cell array, cells 0 to `last`, all empty.
class PostProcessingTest : public ::testing::Test {
 protected:
  // Starts afresh with cells 0 to `last`, all empty, and no error.
  void size(int last) {
    state = CompileState();
    state.cell_count = last;
    state.cells.assign(static_cast<size_t>(last) + 1, TrackCell());
  }
  TrackCell& cell(int index) { return state.cells.at(static_cast<size_t>(index)); }

  void put(int index, uint8_t kind, int16_t value_a = 0) {
    cell(index).kind = kind;
    cell(index).value_a = value_a;
  }
  void slowdown(int start, int end, int16_t speed) {
    put(start, kSlowdownStart, speed);
    put(end, kSlowdownEnd, speed);
  }

  // The cells the post-processing marked: cut-off points of value 180.
  Cells marks() {
    Cells found;
    for (int i = 0; i < static_cast<int>(state.cells.size()); ++i) {
      if (cell(i).kind == kCutOffPoint && cell(i).value_a == 180) found.push_back(i);
    }
    return found;
  }

  CompileState state;
};

TEST_F(PostProcessingTest, SlowSlowdownGetsPointsEveryEightCellsAndThreeBeforeItsStart) {
  size(200);
  slowdown(100, 120, 50);
  post_process(state);
  // Rule 2: 95, 89, 82 (the first distance of each band); rule 3: 108 and 116.
  EXPECT_EQ(marks(), (Cells{82, 89, 95, 108, 116}));
  EXPECT_EQ(cell(120).kind, kSlowdownEnd);
  EXPECT_EQ(state.error().ErrorCode, 0);
}

TEST_F(PostProcessingTest, TakenInnerCellShiftsThePointAndTheCountRestartsFromIt) {
  struct Case {
    Cells taken;
    Cells inner_marks;
    int32_t error;
  };
  for (const Case& c : std::vector<Case>{
           {{108}, {107, 115}, 0},            // one back; the next is 8 after 107
           {{107, 108}, {109, 117}, 0},       // one forward; the next is 8 after 109
           {{107, 108, 109}, {}, 13},          // none: error 13, no further point in this slowdown
           {{116}, {108, 115}, 0},
       }) {
    size(200);
    slowdown(100, 120, 50);
    for (int taken : c.taken) put(taken, kCutOffPointZero);
    post_process(state);
    Cells inner;
    for (int m : marks()) {
      if (m > 100) inner.push_back(m);
    }
    EXPECT_EQ(inner, c.inner_marks) << c.taken.size();
    EXPECT_EQ(state.error().ErrorCode, c.error);
    if (c.error != 0) {
      EXPECT_EQ(state.error().ErrorPosition, 50 * 108);
    }
  }
}

TEST_F(PostProcessingTest, FastSlowdownGetsNoInnerPoints) {
  for (int16_t speed : {int16_t{110}, int16_t{140}, int16_t{300}}) {
    size(200);
    slowdown(100, 130, speed);
    post_process(state);
    EXPECT_EQ(marks(), (Cells{82, 89, 95})) << speed;
  }
  size(200);
  slowdown(100, 130, 109);
  post_process(state);
  EXPECT_EQ(marks(), (Cells{82, 89, 95, 108, 116, 124}));
}

TEST_F(PostProcessingTest, StartBandsDependOnHowFarInTheStartLies) {
  struct Case {
    int start;
    Cells taken;
    Cells expected;
    int32_t error;
  };
  for (const Case& c : std::vector<Case>{
           {7, {}, {}, 0},                       // no band applies
           {8, {}, {3}, 0},                      // first band only: 3, 2, 1
           {8, {3, 2}, {1}, 0},
           {8, {3, 2, 1}, {}, 12},
           {14, {}, {3, 9}, 0},                  // first and second bands
           {21, {}, {3, 10, 16}, 0},             // all three
           {21, {16, 15, 14}, {3, 10}, 12},      // a failed band does not stop the next
       }) {
    size(100);
    slowdown(c.start, 60, 140);
    for (int taken : c.taken) put(taken, kBoardText);
    post_process(state);
    EXPECT_EQ(marks(), c.expected) << c.start;
    EXPECT_EQ(state.error().ErrorCode, c.error) << c.start;
    if (c.error != 0) {
      EXPECT_EQ(state.error().ErrorPosition, 50 * c.start);
    }
  }
}

TEST_F(PostProcessingTest, SignalsBeforeAWarningGetAPointOrALoweredOne) {
  struct Case {
    uint8_t before_1_kind;
    int16_t before_1_value;
    uint8_t before_2_kind;
    int16_t before_2_value;
    int marked;          // cell that gets a new point, or -1
    int16_t value_at_1;  // value_a left on the cell before the signal
    int16_t value_at_2;  // and two before it
    int32_t error;
  };
  // Warning at 50, signal at 46: the cells before the signal are 45 and 44.
  for (const Case& c : std::vector<Case>{
           {kEmpty, 0, kEmpty, 0, 45, 180, 0, 0},
           {kMountainMarker, 0, kEmpty, 0, 45, 180, 0, 0},
           {kStopMarker, 1, kEmpty, 0, 44, 1, 180, 0},
           {kCutOffPoint, 120, kStopMarker, 1, -1, 120, 1, 0},
           {kCutOffPoint, 200, kStopMarker, 1, -1, 180, 1, 0},
           {kStopMarker, 1, kCutOffPoint, 120, -1, 1, 120, 0},
           {kStopMarker, 1, kCutOffPoint, 200, -1, 1, 180, 0},
           {kStopMarker, 1, kSignal, 0, -1, 1, 0, 11},
       }) {
    size(100);
    put(50, kSlowdownWarning, 30);
    put(46, kSignal);
    put(45, c.before_1_kind, c.before_1_value);
    put(44, c.before_2_kind, c.before_2_value);
    post_process(state);
    EXPECT_EQ(cell(45).value_a, c.value_at_1);
    EXPECT_EQ(cell(44).value_a, c.value_at_2);
    if (c.marked >= 0) {
      EXPECT_EQ(cell(c.marked).kind, kCutOffPoint);
    }
    EXPECT_EQ(state.error().ErrorCode, c.error);
    if (c.error != 0) {
      EXPECT_EQ(state.error().ErrorPosition, 50 * 46);
    }
  }
}

TEST_F(PostProcessingTest, EverySignalWithinTwentyCellsBeforeTheWarningIsTreated) {
  size(100);
  put(50, kSlowdownWarning, 30);
  put(49, kSignal);
  put(40, kSignal);
  put(30, kSignal);  // 20 cells before: treated; 29 is taken, so its point goes on 28
  put(29, kSignal);  // 21 cells before: not treated (it would have taken 27)
  post_process(state);
  EXPECT_EQ(marks(), (Cells{28, 39, 48}));
}

TEST_F(PostProcessingTest, WarningNearTheStartLooksBackOnlyToCellThree) {
  size(100);
  put(5, kSlowdownWarning, 30);
  put(3, kSignal);
  put(2, kBoardText);
  put(4, kSignal);
  post_process(state);
  // The signal at 4 finds 3 and 2 taken and neither a cut-off point: error 11 at 200 m. The
  // signal at 3 gets its point on cell 1; nothing below cell 3 is looked at as a signal.
  EXPECT_EQ(marks(), (Cells{1}));
  EXPECT_EQ(state.error().ErrorCode, 11);
  EXPECT_EQ(state.error().ErrorPosition, 200);
}

TEST_F(PostProcessingTest, PointBeforeTheFirstSignalAfterTheEnd) {
  struct Case {
    int signal;
    int expected;  // the marked cell, or -1
  };
  // Slowdown 100 to 120 at 140 km/h: no inner points; rule 2 marks 82, 89, 95.
  for (const Case& c : std::vector<Case>{{121, 119}, {125, 124}, {132, 131}, {133, -1}}) {
    size(200);
    slowdown(100, 120, 140);
    put(c.signal, kSignal);
    put(c.signal + 3, kSignal);
    post_process(state);
    Cells after;
    for (int m : marks()) {
      if (m > 100) after.push_back(m);
    }
    EXPECT_EQ(after, c.expected < 0 ? Cells{} : Cells{c.expected}) << c.signal;
    EXPECT_EQ(state.error().ErrorCode, 0);
  }
}

TEST_F(PostProcessingTest, SignalAfterTheEndWithBothCellsBeforeItTakenIsError13AtTheEnd) {
  size(200);
  slowdown(100, 120, 50);
  put(125, kSignal);
  put(124, kStopMarker);
  put(123, kBoardText);
  post_process(state);
  EXPECT_EQ(state.error().ErrorCode, 13);
  EXPECT_EQ(state.error().ErrorPosition, 50 * 120);
}

TEST_F(PostProcessingTest, FastSlowdownLooksForTheSignalFromItsOwnEnd) {
  size(300);
  slowdown(100, 120, 140);
  put(126, kSignal);
  // An earlier slow slowdown whose walk ended far from the fast one's end.
  slowdown(30, 40, 50);
  post_process(state);
  EXPECT_EQ(cell(125).kind, kCutOffPoint);
  EXPECT_EQ(state.error().ErrorCode, 0);
}

TEST_F(PostProcessingTest, MarksAreSeenByTheRulesThatComeLater) {
  size(200);
  slowdown(100, 120, 50);  // rule 3 marks 108 and 116
  slowdown(121, 150, 140);
  post_process(state);
  // The second start's first band tries 116 (now taken), then 115.
  EXPECT_EQ(marks(), (Cells{82, 89, 95, 103, 108, 110, 115, 116}));
}

TEST_F(PostProcessingTest, WalkWithoutAnEndCellStopsAtTheLastCell) {
  size(130);
  put(100, kSlowdownStart, 50);  // its end fell on its start: no end cell at all
  post_process(state);
  EXPECT_EQ(marks(), (Cells{82, 89, 95, 108, 116, 124}));
  EXPECT_EQ(state.error().ErrorCode, 13);
  EXPECT_EQ(state.error().ErrorPosition, 50 * 130);
}

TEST_F(PostProcessingTest, WalkStepsOnTheLastCellWithoutLookingPastIt) {
  size(108);
  put(100, kSlowdownStart, 50);
  put(107, kBoardText);
  put(108, kBoardText);  // s reaches 8 on the last cell: 108 and 107 taken, no 109
  post_process(state);
  EXPECT_EQ(state.error().ErrorCode, 13);
  EXPECT_EQ(state.error().ErrorPosition, 50 * 108);
}

TEST_F(PostProcessingTest, LookAheadAfterTheEndStopsAtTheLastCell) {
  size(125);
  slowdown(100, 120, 50);
  put(125, kSignal);
  post_process(state);
  EXPECT_EQ(cell(124).kind, kCutOffPoint);

  size(122);
  slowdown(100, 122, 140);  // end on the last cell: nothing to look at past it
  post_process(state);
  EXPECT_EQ(marks(), (Cells{82, 89, 95}));
}

TEST_F(PostProcessingTest, OnlyCellsOneToLastMinusTwoTriggerRules) {
  size(130);
  put(129, kSlowdownStart, 50);
  put(130, kSlowdownEnd, 50);
  put(0, kSlowdownWarning, 50);
  post_process(state);
  EXPECT_EQ(marks(), Cells{});
}

TEST_F(PostProcessingTest, MarkOnCellOneLeaves180There) {
  size(100);
  slowdown(8, 60, 140);
  put(3, kBoardText);
  put(2, kBoardText);
  post_process(state);
  EXPECT_EQ(cell(1).kind, kCutOffPoint);
  EXPECT_EQ(cell(1).value_a, 180);
}

}  // namespace
}  // namespace scenario
