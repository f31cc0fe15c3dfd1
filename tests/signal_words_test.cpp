#include "tools/signal_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/train_features.h"

namespace scenario {
namespace {

// Cells of a 3000 m line with the signals of `records` placed by the compiler's own placer.
std::vector<TrackCell> placed(std::vector<SignalRecord> records) {
  CompileState state;
  state.allocate_model(3000);
  for (SignalRecord& record : records) EXPECT_TRUE(memo_segnale(state, record)) << record.posizione;
  return state.cells;
}

size_t cell_of(int32_t posizione) { return static_cast<size_t>(posizione / 50 + 1); }

// Every record value the line's signals use comes back from the packed cell.
TEST(SignalWords, UnpackingGivesBackTheRecordValues) {
  const SignalRecord records[] = {
      {1750, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0},  {6100, 1, 5, 0, 0, 0, 0, 0, 0, 0, 0},
      {40900, 1, 5, 6, 0, 0, 1, 3, 0, 0, 0}, {42250, 2, 2, 5, 6, 0, 2, 2, 1, 1, 0},
      {500, 3, 9, 9, 9, 7, 0, 9, 9, 9, 0},   {500, 2, 0, 0, 0, 12, 1, 0, 0, 0, 250},
  };
  for (const SignalRecord& record : records) {
    SCOPED_TRACE(record.posizione);
    SignalRecord placed_record = record;
    placed_record.posizione = 1000;
    const std::vector<TrackCell> cells = placed({placed_record});
    const std::optional<SignalTerms> terms = unpack_signal(cells[cell_of(1000)]);
    ASSERT_TRUE(terms.has_value());
    const SignalTerms expected{record.sx, record.s1, record.s2, record.s3, record.dx,  record.d1,
                               record.d2, record.d3, record.rapp, record.sx == 2 ? record.tempo % 256 : 0};
    EXPECT_EQ(*terms, expected);
  }
  TrackCell negative;
  negative.kind = kSignal;
  negative.value_b = -3;
  EXPECT_FALSE(unpack_signal(negative).has_value());
}

TEST(SignalWords, NameEveryTermAndTheDistanceToTheNextSignal) {
  const std::vector<TrackCell> cells =
      placed({{1000, 2, 3, 1, 0, 0, 2, 2, 1, 0, 40}, {1500, 1, 5, 6, 0, 0, 1, 3, 0, 0, 40}, {2800, 2, 4, 0, 0, 3, 0, 0, 0, 0, 0}});
  const struct {
    int32_t posizione;
    std::string words;
  } cases[] = {
      {1000, "left side sx 2, aspects s1 3, s2 1, s3 0; right side dx 2, aspects d1 2, d2 1, d3 0; repetition rapp 0; "
             "time tempo 1 to 100 (stored as 101); next signal 500 m on"},
      {1500, "left side sx 1, aspects s1 5, s2 6, s3 0; right side dx 1, aspects d1 3, d2 0, d3 0; repetition rapp 0; "
             "no time kept (only sx 2 keeps tempo); next signal 1300 m on"},
      {2800, "left side sx 2, aspects s1 4, s2 0, s3 0; right side dx 0, aspects d1 0, d2 0, d3 0; repetition rapp 3; "
             "time tempo 0; no signal after it"},
  };
  for (const auto& c : cases) EXPECT_EQ(signal_words(cells, cell_of(c.posizione)), c.words) << c.posizione;
  EXPECT_EQ(signal_phrases(cells, cells.size()), std::vector<std::string>{});

  std::vector<TrackCell> odd = cells;
  odd[cell_of(1500)].value_d = -1;
  odd[cell_of(1500)].signal_time = 7;
  EXPECT_EQ(signal_words(odd, cell_of(1500)),
            "values 53, 60, 0, -1 cannot come from a signal record (a value is negative); next signal 1300 m on");
  odd[cell_of(1500)].value_d = 4;  // sx 1, dx 1, with a time byte the placer never writes for sx 1
  EXPECT_NE(signal_words(odd, cell_of(1500)).find("time byte 7 (sx 2 alone keeps one)"), std::string::npos);
}

}  // namespace
}  // namespace scenario
