#include "model/cell_values.h"

#include <gtest/gtest.h>

#include <vector>

namespace scenario {
namespace {

TEST(CellValuesTest, WhereACellLies) {
  struct Case {
    int64_t cell, feature_metres, stretch_metres;
  } cases[] = {{0, -50, 0}, {1, 0, 50}, {391, 19500, 19550}, {2620, 130950, 131000}};
  for (const Case& c : cases) {
    EXPECT_EQ(cell_metres(c.cell), c.feature_metres) << c.cell;
    EXPECT_EQ(stretch_metres(c.cell), c.stretch_metres) << c.cell;
    // A feature's position maps back to its cell, a stretch's start to its fill cell.
    EXPECT_EQ(cell_of_position(cell_metres(c.cell)), c.cell);
    EXPECT_EQ(fill_cell_of_position(stretch_metres(c.cell)), c.cell);
  }
}

TEST(CellValuesTest, SpeedsAndGradientsInTheirBytes) {
  EXPECT_EQ(speed_kmh(28), 140);
  EXPECT_EQ(speed_kmh(255), 1275);
  const struct {
    int64_t kmh, steps;
    bool fits;
  } speeds[] = {{140, 28, true},    {12, 2, true}, {13, 3, true},  {1277, 255, true},
                {1278, 256, false}, {-2, 0, true}, {-3, -1, false}};
  for (const auto& s : speeds) {
    EXPECT_EQ(speed_steps(s.kmh), s.steps) << s.kmh;
    EXPECT_EQ(fits_speed_limit(s.steps), s.fits) << s.kmh;
  }
  const struct {
    int64_t per_mille;
    uint8_t byte;
    int32_t shown;
  } gradients[] = {{0, 100, 0}, {-1, 99, -1}, {155, 255, 155}, {-100, 0, -100}, {200, 44, -56}, {-101, 255, 155}};
  for (const auto& g : gradients) {
    EXPECT_EQ(gradient_byte(g.per_mille), g.byte) << g.per_mille;
    EXPECT_EQ(gradient_per_mille(g.byte), g.shown) << g.per_mille;
  }
}

// A record of cell 391 (19500 m) with the given terms and tempo 0.
SignalRecord terms(int32_t sx, int32_t s1, int32_t s2, int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2,
                   int32_t d3) {
  return {19500, sx, s1, s2, s3, rapp, dx, d1, d2, d3, 0};
}

TEST(CellValuesTest, SignalTermsComeBackFromTheCell) {
  // "segnale, 19500, 2, 3, 1, 0, 0, 2, 2,1,0, 0": value_d 8, value_a 32, value_b 11, value_c 0.
  const SignalRecord embedded = terms(2, 3, 1, 0, 0, 2, 2, 1, 0);
  TrackCell cell;
  pack_signal(embedded, cell);
  EXPECT_EQ(cell.value_d, 8);
  EXPECT_EQ(cell.value_a, 32);
  EXPECT_EQ(cell.value_b, 11);
  EXPECT_EQ(cell.value_c, 0);
  EXPECT_EQ(signal_record(391, cell), embedded);
  cell.signal_time = 101;
  EXPECT_EQ(signal_record(391, cell).tempo, 101);

  // Terms within their ranges come back as they were.
  for (const SignalRecord& record : std::vector<SignalRecord>{
           terms(1, 0, 0, 0, 0, 0, 0, 0, 0), terms(1, 9, 9, 9, 7, 2, 9, 9, 9), terms(3, 12, 0, 5, 4, 0, 0, 3, 9)}) {
    TrackCell packed;
    pack_signal(record, packed);
    EXPECT_EQ(signal_record(391, packed), record) << record.sx << " " << record.s1;
  }

  // Terms beyond them cannot be told apart: the cell gives the terms that pack the same way.
  const struct {
    SignalRecord given;
    SignalRecord taken_apart;
  } ambiguous[] = {
      {terms(1, 0, 0, 0, 0, 3, 0, 0, 0), terms(2, 0, 0, 0, 0, 0, 0, 0, 0)},    // dx 3 reads as the next sx
      {terms(3, 0, 0, 0, 0, 1, 0, 0, 0), terms(0, 0, 0, 0, 1, 0, 0, 0, 0)},    // side code 10 carries into rapp
      {terms(0, 1, 0, 0, 0, 0, 12, 0, 0), terms(0, 2, 0, 0, 0, 0, 2, 0, 0)},   // d1 12 carries into s1
      {terms(0, -1, 0, 0, 0, 0, 0, 0, 0), terms(0, -1, 0, 0, 0, 0, 0, 0, 0)},  // negative s1 stays
      {terms(0, 0, 0, 0, -1, 2, 0, 0, 0), terms(0, 0, 0, 0, -1, 2, 0, 0, 0)},  // value_d -8: rapp -1, side 2
  };
  for (const auto& a : ambiguous) {
    TrackCell packed;
    pack_signal(a.given, packed);
    const SignalRecord taken_apart = signal_record(391, packed);
    EXPECT_EQ(taken_apart, a.taken_apart);
    TrackCell again;
    pack_signal(taken_apart, again);
    EXPECT_EQ(again, packed);
  }
}

TEST(CellValuesTest, ApproachCodes) {
  const struct {
    uint8_t code;
    ApproachTerms terms;
  } cases[] = {
      {81, {8, 2, 2, 1}},  // nearest cell before a signal with sx 2, dx 2, or before a station stop
      {84, {8, 2, 2, 4}},  // the farthest
      {41, {4, 1, 1, 1}}, {63, {6, 2, 0, 3}}, {32, {3, 1, 0, 2}}, {0, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(approach_terms(c.code), c.terms) << int{c.code};
    if (c.code != 0) {
      EXPECT_EQ(approach_code(side_code(c.terms.sx, c.terms.dx), c.terms.step), c.code);
    }
  }
}

TEST(CellValuesTest, LimitsFollowFromTheLongestLine) {
  EXPECT_EQ(kMaxCellCount, 20140);
  EXPECT_EQ(cell_count_for_length(kMaxLineLength), kMaxCellCount);
  EXPECT_EQ(cell_metres(kMaxCellCount), kMaxLineLength + kCellsPastLineEnd - CELL_LENGTH);
}

}  // namespace
}  // namespace scenario
