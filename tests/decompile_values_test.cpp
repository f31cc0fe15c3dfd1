// Taking packed values apart: each split, packed again by the compile's own placers, gives the
// very same cell.
#include "decompile/decompile_values.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/line_features.h"
#include "compiler/train_features.h"

namespace scenario {
namespace {

CompileState cells_only(size_t count) {
  CompileState state;
  state.cells.assign(count, TrackCell());
  state.cell_count = static_cast<int32_t>(count) - 1;
  return state;
}

TEST(DecompileValuesTest, SplitsTakeTheSimplestValues) {
  struct Tens {
    int64_t value;
    int32_t tens;
    int32_t unit;
  };
  for (const Tens& c : {Tens{32, 3, 2}, Tens{0, 0, 0}, Tens{-15, -2, 5}, Tens{-32768, -3277, 2}, Tens{9, 0, 9}}) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(split_tens(c.value).tens, c.tens);
    EXPECT_EQ(split_tens(c.value).unit, c.unit);
  }
  struct Speeds {
    int16_t value;
    int32_t left;
    int32_t right;
  };
  for (const Speeds& c : {Speeds{2500, 125, 0}, Speeds{1817, 90, 85}, Speeds{-3, -1, 85}, Speeds{32767, 1638, 35}}) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(split_board_speed(c.value).left, c.left);
    EXPECT_EQ(split_board_speed(c.value).right, c.right);
  }
  struct Time {
    int32_t seconds;
    int32_t hours, minutes, rest;
  };
  for (const Time& c : {Time{69600, 19, 20, 0}, Time{0, 0, 0, 0}, Time{86399, 23, 59, 59}, Time{-3661, -1, -1, -1}}) {
    SCOPED_TRACE(c.seconds);
    const DepartureTime time = split_departure_time(c.seconds);
    EXPECT_EQ(time.hours, c.hours);
    EXPECT_EQ(time.minutes, c.minutes);
    EXPECT_EQ(time.seconds, c.rest);
  }
}

// Every 16-bit value of a speed board's speeds and stripes, split and laid again by the placer.
TEST(DecompileValuesTest, EverySpeedBoardValueLaysTheSameCell) {
  for (int32_t v = -32768; v <= 32767; ++v) {
    const int16_t value = static_cast<int16_t>(v);
    const BoardSpeeds speeds = split_board_speed(value);
    const TensAndUnit stripes = split_tens(value);
    CompileState state = cells_only(4);
    ASSERT_TRUE(memo_indicatori_v_max(state, SpeedBoardRecord{50, speeds.left, speeds.left, speeds.left, stripes.tens,
                                                               speeds.right, speeds.right, speeds.right, stripes.unit})
                    .placed())
        << v;
    const TrackCell& board = state.cells[2];
    ASSERT_EQ(board.value_a, value);
    ASSERT_EQ(board.value_d, value);
  }
}

// Signals of every side code, term, repetition and time: the unpacked record lays the same cells.
TEST(DecompileValuesTest, SignalsUnpackToRecordsThatLayTheSameCells) {
  for (int32_t sx = 0; sx <= 3; ++sx) {
    for (int32_t dx = 0; dx <= 4; ++dx) {
      for (int32_t rapp : {0, 1, 3, -2}) {
        for (int32_t tempo : {0, 7, 50, 150, 300, 257}) {
          for (int32_t term : {0, 9, 35, -4, 3277}) {
            SignalRecord placed{500, sx, term, term / 2, 6, rapp, dx, 9 - dx, 0, 1, tempo};
            CompileState first = cells_only(16);
            ASSERT_TRUE(memo_segnale(first, placed).placed());
            SignalRecord unpacked;
            ASSERT_TRUE(unpack_signal(first.cells[11], first.cells[3].approach_code, &unpacked));
            unpacked.posizione = 500;
            CompileState second = cells_only(16);
            ASSERT_TRUE(memo_segnale(second, unpacked).placed());
            ASSERT_EQ(second.cells, first.cells)
                << "sx " << sx << " dx " << dx << " rapp " << rapp << " tempo " << tempo;
          }
        }
      }
    }
  }
}

TEST(DecompileValuesTest, SignalsTakeTheEmbeddedFormAndRefuseAForeignApproachCode) {
  // "segnale, 19500, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0" lays value_d 8, value_a 32, value_b 11, and 84
  // on the cell 8 before it.
  TrackCell signal;
  signal.kind = kSignal;
  signal.value_a = 32;
  signal.value_b = 11;
  signal.value_d = 8;
  SignalRecord record;
  ASSERT_TRUE(unpack_signal(signal, 84, &record));
  EXPECT_EQ(record.sx, 2);
  EXPECT_EQ(record.dx, 2);
  EXPECT_EQ(record.s1, 3);
  EXPECT_EQ(record.d1, 2);
  EXPECT_EQ(record.s2, 1);
  EXPECT_EQ(record.d2, 1);
  EXPECT_EQ(record.rapp, 0);
  EXPECT_EQ(record.tempo, 0);
  // An approach code that is odd after taking off its 4 names no side code (side * 10 is even).
  EXPECT_FALSE(unpack_signal(signal, 3, &record));
}

// Side codes 320 and -320 both leave 3200 (mod 256) == 128 for the approach code 132 and a
// value_d ending in 0: equally near 0, the first found, -320, is kept. Either lays the same cells.
TEST(DecompileValuesTest, OfTwoEquallyNearSideCodesTheNegativeIsKept) {
  TrackCell signal;
  signal.kind = kSignal;
  signal.value_a = 32;
  signal.value_d = 50;  // rapp 5 and side code 0 by its digits, which names approach code 4
  SignalRecord record;
  ASSERT_TRUE(unpack_signal(signal, 132, &record));
  EXPECT_EQ(side_code(record.sx, record.dx), -320);
  EXPECT_EQ(record.sx, -107);
  EXPECT_EQ(record.dx, 1);
  EXPECT_EQ(record.rapp, 37);
  record.posizione = 500;
  CompileState state = cells_only(16);
  ASSERT_TRUE(memo_segnale(state, record).placed());
  EXPECT_EQ(state.cells[11].value_d, 50);
  EXPECT_EQ(state.cells[11].value_a, 32);
  EXPECT_EQ(state.cells[3].approach_code, 132);
}

TEST(DecompileValuesTest, TextsAsATextFieldReadsThem) {
  struct Case {
    const char* text;
    const char* read;
  };
  for (const Case& c : {Case{"MORVELLA C.LE", "MORVELLA C.LE"}, Case{"", ""}, Case{"  (F) ", "(F)"}, Case{"A,B", "A"},
                        Case{"A\r\nB", "A"}, Case{"\tx\t", "x"}, Case{"(I--I--I)", "(I--I--I)"}}) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(text_as_read(c.text), c.read);
  }
}

}  // namespace
}  // namespace scenario
