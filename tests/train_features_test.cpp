#include "compiler/train_features.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

// A model as the embedded line sizes it: 124000 m, cells 0 to 2620.
class TrainFeaturesTest : public ::testing::Test {
 protected:
  TrainFeaturesTest() { state.allocate_model(124000); }

  TrackCell& cell(int index) { return state.cells[static_cast<size_t>(index)]; }

  CompileState state;
};

// The error number a placement was refused with, 0 when it placed.
int32_t refusal(const Placement& placement) { return placement.placed() ? 0 : error_code(placement.number()); }

SignalRecord signal_at(int32_t posizione, int32_t sx = 2, int32_t dx = 2, int32_t tempo = 0) {
  SignalRecord record;
  record.posizione = posizione;
  record.sx = sx;
  record.s1 = 3;
  record.s2 = 1;
  record.dx = dx;
  record.d1 = 2;
  record.d2 = 1;
  record.tempo = tempo;
  return record;
}

TEST_F(TrainFeaturesTest, SignalPacksItsCodesAndMarksFourApproachCells) {
  // "segnale,   19500,   2, 3, 1,  0, 0,    2,  2,1,0, 0"
  SignalRecord record = signal_at(19500);
  ASSERT_TRUE(memo_segnale(state, record).placed());
  EXPECT_EQ(state.error().ErrorCode, 0);
  const TrackCell& signal = cell(391);
  EXPECT_EQ(signal.kind, kSignal);
  EXPECT_EQ(signal.value_d, 8);
  EXPECT_EQ(signal.value_a, 32);
  EXPECT_EQ(signal.value_b, 11);
  EXPECT_EQ(signal.value_c, 0);
  EXPECT_EQ(signal.signal_time, 0);
  EXPECT_EQ(cell(389).approach_code, 81);
  EXPECT_EQ(cell(387).approach_code, 82);
  EXPECT_EQ(cell(385).approach_code, 83);
  EXPECT_EQ(cell(383).approach_code, 84);
  for (int between : {390, 388, 386, 384, 382, 392}) EXPECT_EQ(cell(between).approach_code, 0) << between;
}

TEST_F(TrainFeaturesTest, ApproachCodesFollowTheTwoSides) {
  struct Case {
    int32_t sx, dx;
    uint8_t first;
  };
  for (const Case& c : std::vector<Case>{{2, 2, 81}, {1, 1, 41}, {2, 0, 61}, {1, 0, 31}}) {
    CompileState fresh;
    fresh.allocate_model(10000);
    SignalRecord record = signal_at(5000, c.sx, c.dx);
    ASSERT_TRUE(memo_segnale(fresh, record).placed());
    for (int k = 1; k <= 4; ++k) {
      EXPECT_EQ(fresh.cells[static_cast<size_t>(101 - 2 * k)].approach_code, c.first + k - 1) << c.sx << c.dx << k;
    }
  }
}

TEST_F(TrainFeaturesTest, TempoIsRaisedTo101AndKeptOnlyForSideTwo) {
  struct Case {
    int32_t sx, tempo;
    uint8_t stored;
    int32_t tempo_after;
  };
  for (const Case& c : std::vector<Case>{{2, 50, 101, 101}, {1, 50, 0, 101}, {2, 0, 0, 0}, {2, 150, 150, 150},
                                         {2, 1, 101, 101}, {2, 100, 101, 101}, {2, 101, 101, 101}, {2, 300, 44, 300}}) {
    CompileState fresh;
    fresh.allocate_model(10000);
    SignalRecord record = signal_at(5000, c.sx, 0, c.tempo);
    ASSERT_TRUE(memo_segnale(fresh, record).placed());
    EXPECT_EQ(fresh.cells[101].signal_time, c.stored) << c.sx << " " << c.tempo;
    EXPECT_EQ(record.tempo, c.tempo_after);
  }
}

TEST_F(TrainFeaturesTest, SignalCodesWrapAtSixteenBits) {
  SignalRecord record = signal_at(5000);
  record.rapp = 4000;  // 40000 + 8 does not fit 16 bits
  record.s3 = -5;
  ASSERT_TRUE(memo_segnale(state, record).placed());
  EXPECT_EQ(cell(101).value_d, static_cast<int16_t>(40008 - 65536));
  EXPECT_EQ(cell(101).value_c, -50);
}

TEST_F(TrainFeaturesTest, SignalReplacesAMontagnaMarkerButNotAStopMarker) {
  cell(101).kind = kMountainMarker;
  SignalRecord on_marker = signal_at(5000);
  EXPECT_TRUE(memo_segnale(state, on_marker).placed());
  EXPECT_EQ(cell(101).kind, kSignal);

  cell(201).kind = kStopMarker;
  cell(201).value_a = 3;
  const std::vector<TrackCell> before = state.cells;
  SignalRecord on_stop = signal_at(10000);
  const Placement refused = memo_segnale(state, on_stop);
  EXPECT_FALSE(refused.placed());
  EXPECT_EQ(refused.number(), ErrorNumber::kSignalTaken);
  EXPECT_EQ(refused.words(), "");
  EXPECT_EQ(state.error().ErrorCode, 0);  // the caller records the refusal
  EXPECT_EQ(state.cells, before);
}

TEST_F(TrainFeaturesTest, ApproachCodesAreWrittenOverAnyKind) {
  cell(99).kind = kStopMarker;
  cell(99).value_a = 4;
  SignalRecord record = signal_at(5000);
  ASSERT_TRUE(memo_segnale(state, record).placed());
  EXPECT_EQ(cell(99).kind, kStopMarker);
  EXPECT_EQ(cell(99).value_a, 4);
  EXPECT_EQ(cell(99).approach_code, 81);
}

TEST_F(TrainFeaturesTest, SignalWhoseApproachCellsWouldFallBeforeCellZeroIsRefused) {
  const std::vector<TrackCell> before = state.cells;
  for (int32_t posizione : {0, 300, 324, -50, -2000000000}) {
    SignalRecord record = signal_at(posizione);
    const Placement refused = memo_segnale(state, record);
    EXPECT_EQ(refusal(refused), 16) << posizione;
    EXPECT_NE(refused.words().find("325 m"), std::string::npos) << posizione;
    EXPECT_EQ(state.cells, before) << posizione;
  }
  // 325 m maps to cell near(7.5) = 8: the last approach cell is cell 0.
  SignalRecord record = signal_at(325);
  ASSERT_TRUE(memo_segnale(state, record).placed());
  EXPECT_EQ(cell(8).kind, kSignal);
  EXPECT_EQ(cell(0).approach_code, 84);
}

TEST_F(TrainFeaturesTest, SignalBeyondTheLastCellIsRefused) {
  SignalRecord record = signal_at(2620 * 50);
  EXPECT_EQ(refusal(memo_segnale(state, record)), 16);
  record = signal_at(2619 * 50);  // cell 2620, the last one
  EXPECT_TRUE(memo_segnale(state, record).placed());
}

SlowdownRecord slowdown(int32_t x, int32_t v, int32_t l, int32_t f_tt = 1, int32_t f_ta = 0, int32_t d_v = 0) {
  return SlowdownRecord{x, v, l, f_tt, f_ta, d_v};
}

TEST_F(TrainFeaturesTest, SlowdownPlacesWarningStartAndEnd) {
  // "rallentamento,   64750,    50,  200, 1,  0,  0"
  ASSERT_TRUE(memo_rallentamento(state, slowdown(64750, 50, 200)).placed());
  EXPECT_EQ(cell(1272).kind, kSlowdownWarning);
  EXPECT_EQ(cell(1272).value_a, 50);
  EXPECT_EQ(cell(1272).value_c, 0);
  EXPECT_EQ(cell(1296).kind, kSlowdownStart);
  EXPECT_EQ(cell(1300).kind, kSlowdownEnd);
  for (int marker : {1296, 1300}) {
    EXPECT_EQ(cell(marker).value_a, 50);
    EXPECT_EQ(cell(marker).value_b, 0);
    EXPECT_EQ(cell(marker).value_c, 1);
  }
  for (int c = 1260; c < 1272; ++c) EXPECT_EQ(cell(c).kind, kEmpty) << c;
}

TEST_F(TrainFeaturesTest, SlowdownWithPrewarningFillsTheFourCellsBeforeTheBoard) {
  // "rallentamento,  102000,    30,   50, 0,  1,  0"
  ASSERT_TRUE(memo_rallentamento(state, slowdown(102000, 30, 50, 0, 1)).placed());
  EXPECT_EQ(cell(2017).kind, kSlowdownWarning);
  for (int c = 2013; c <= 2016; ++c) {
    EXPECT_EQ(cell(c).kind, kSlowdownPrewarning) << c;
    EXPECT_EQ(cell(c).value_a, 2017 - c) << c;
    EXPECT_EQ(cell(c).value_b, 0) << c;
  }
  EXPECT_EQ(cell(2012).kind, kEmpty);
}

TEST_F(TrainFeaturesTest, NonzeroDvGoesIntoValueBOfEveryMarkerAndZeroKeepsTheOldValue) {
  ASSERT_TRUE(memo_rallentamento(state, slowdown(102000, 30, 100, 0, 1, 7)).placed());
  for (int c : {2017, 2041, 2043}) EXPECT_EQ(cell(c).value_b, 7) << c;
  for (int c = 2013; c <= 2016; ++c) EXPECT_EQ(cell(c).value_b, 2017 - c) << c;

  cell(1296).value_b = 9;  // left there by nothing that makes the cell taken
  ASSERT_TRUE(memo_rallentamento(state, slowdown(64750, 50, 200)).placed());
  EXPECT_EQ(cell(1296).value_b, 9);
}

TEST_F(TrainFeaturesTest, NoWarningBoardUpTo1500Metres) {
  cell(7).kind = kSignal;  // where a board for 1500 m would stand
  cell(6).kind = kSignal;
  ASSERT_TRUE(memo_rallentamento(state, slowdown(1500, 30, 100, 0, 1)).placed());
  EXPECT_EQ(cell(31).kind, kSlowdownStart);
  EXPECT_EQ(cell(33).kind, kSlowdownEnd);
  for (int c = 0; c < 31; ++c) {
    if (c != 6 && c != 7) {
      EXPECT_EQ(cell(c).kind, kEmpty) << c;
    }
  }

  CompileState fresh;
  fresh.allocate_model(10000);
  ASSERT_TRUE(memo_rallentamento(fresh, slowdown(1550, 30, 100)).placed());
  EXPECT_EQ(fresh.cells[8].kind, kSlowdownWarning);
}

TEST_F(TrainFeaturesTest, ShortSlowdownEndsAsAStartMarker) {
  ASSERT_TRUE(memo_rallentamento(state, slowdown(5000, 30, 10, 2, 0, 4)).placed());
  EXPECT_EQ(cell(101).kind, kSlowdownStart);
  EXPECT_EQ(cell(101).value_a, 30);
  EXPECT_EQ(cell(101).value_b, 4);
  EXPECT_EQ(cell(101).value_c, 2);
}

TEST_F(TrainFeaturesTest, TakenCellsAreFoundInTheOrderWarningStartEndAndNothingIsWritten) {
  // x = 10000: warning 177, start 201, end 205.
  struct Case {
    std::vector<int> taken;
    int32_t error;
  };
  for (const Case& c : std::vector<Case>{{{177}, 17}, {{201}, 18}, {{205}, 19}, {{177, 201, 205}, 17}, {{201, 205}, 18}}) {
    CompileState fresh;
    fresh.allocate_model(124000);
    for (int taken : c.taken) fresh.cells[static_cast<size_t>(taken)].kind = kSlowdownEnd;
    const std::vector<TrackCell> before = fresh.cells;
    EXPECT_EQ(refusal(memo_rallentamento(fresh, slowdown(10000, 30, 200, 1, 1))), c.error);
    EXPECT_EQ(fresh.cells, before);
  }
}

TEST_F(TrainFeaturesTest, PrewarningOnATakenCellLeavesTheThreeMarkers) {
  cell(174).kind = kSignal;  // among 173..176, the pre-warning cells for x = 10000
  EXPECT_EQ(refusal(memo_rallentamento(state, slowdown(10000, 30, 200, 1, 1))), 20);
  EXPECT_EQ(cell(177).kind, kSlowdownWarning);
  EXPECT_EQ(cell(201).kind, kSlowdownStart);
  EXPECT_EQ(cell(205).kind, kSlowdownEnd);
  for (int c : {173, 175, 176}) EXPECT_EQ(cell(c).kind, kEmpty) << c;
}

// A negative length is refused only where the end cell would lie before the start cell; short of
// that it lays the cells of length 0 (the end falls on the start, which ends as a start marker).
TEST_F(TrainFeaturesTest, NegativeLengthsAreRefusedOnlyWhenTheEndPassesBeforeTheStart) {
  struct Case {
    int32_t x, l;
    int32_t error;
  };
  for (const Case& c : std::vector<Case>{{10000, -1, 0}, {10000, -24, 0}, {10000, -25, 19}, {10050, -25, 0},
                                         {10050, -26, 19}, {10000, -200, 19}}) {
    SCOPED_TRACE(std::to_string(c.x) + " " + std::to_string(c.l));
    CompileState zero;
    zero.allocate_model(124000);
    ASSERT_TRUE(memo_rallentamento(zero, slowdown(c.x, 30, 0)).placed());
    CompileState negative;
    negative.allocate_model(124000);
    const std::vector<TrackCell> before = negative.cells;
    const Placement placement = memo_rallentamento(negative, slowdown(c.x, 30, c.l));
    EXPECT_EQ(refusal(placement), c.error);
    EXPECT_EQ(negative.cells, c.error == 0 ? zero.cells : before);
  }
}

TEST_F(TrainFeaturesTest, SlowdownCellsOutsideTheArrayAreRefusedWithTheirTakenCode) {
  const std::vector<TrackCell> before = state.cells;
  struct Case {
    SlowdownRecord record;
    int32_t error;
  };
  for (const Case& c : std::vector<Case>{
           {slowdown(130000, 30, 1000), 19},          // end cell beyond cell 2620
           {slowdown(10000, 30, 2147483647), 19},     // end far beyond, no overflow
           {slowdown(10000, 30, -200), 19},           // negative length
           {slowdown(-100, 30, 50), 18},              // start before cell 0
           {slowdown(-2147483647 - 1, 30, 50), 18},   // no warning board (x <= 1500)
           {slowdown(131000, 30, 0), 18},             // start beyond the last cell
           {slowdown(2147483647, 30, 0), 17},         // warning board beyond the last cell
       }) {
    const Placement refused = memo_rallentamento(state, c.record);
    EXPECT_EQ(refusal(refused), c.error) << c.record.x << " " << c.record.l;
    EXPECT_FALSE(refused.words().empty()) << c.record.x << " " << c.record.l;
    EXPECT_EQ(state.cells, before);
  }
  // The end on the last cell is inside.
  EXPECT_TRUE(memo_rallentamento(state, slowdown(130000, 30, 950)).placed());
  EXPECT_EQ(cell(2620).kind, kSlowdownEnd);
}

}  // namespace
}  // namespace scenario
