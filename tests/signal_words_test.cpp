#include "render/signal_words.h"

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
  for (SignalRecord& record : records) EXPECT_TRUE(memo_segnale(state, record).placed()) << record.posizione;
  return state.cells;
}

size_t cell_of(int32_t posizione) { return static_cast<size_t>(posizione / 50 + 1); }

// Every term the record wrote comes back in the words, with the distance to the next signal.
TEST(SignalWords, NameEveryTermOfTheRecordAndTheDistanceToTheNextSignal) {
  const std::vector<TrackCell> cells = placed({{1000, 2, 3, 1, 0, 0, 2, 2, 1, 0, 40},
                                               {1500, 1, 5, 6, 0, 0, 1, 3, 0, 0, 40},
                                               {2000, 2, 2, 5, 6, 0, 2, 2, 1, 1, 0},
                                               {2500, 3, 9, -1, 9, 7, 0, 9, 5, 9, 250},
                                               {2800, 2, 4, 0, 0, 12, 1, 0, 0, 0, 250}});
  const struct {
    int32_t posizione;
    std::string words;
  } cases[] = {
      {1000, "left side sx 2, aspects s1 3, s2 1, s3 0; right side dx 2, aspects d1 2, d2 1, d3 0; repetition rapp 0; "
             "time tempo 1 to 100 (stored as 101); next signal 500 m on"},
      {1500, "left side sx 1, aspects s1 5, s2 6, s3 0; right side dx 1, aspects d1 3, d2 0, d3 0; repetition rapp 0; "
             "no time kept (only sx 2 keeps tempo); next signal 500 m on"},
      {2000, "left side sx 2, aspects s1 2, s2 5, s3 6; right side dx 2, aspects d1 2, d2 1, d3 1; repetition rapp 0; "
             "time tempo 0; next signal 500 m on"},
      // A negative aspect and the widest side code (sx 3, dx 0) still come back.
      {2500, "left side sx 3, aspects s1 9, s2 -1, s3 9; right side dx 0, aspects d1 9, d2 5, d3 9; repetition rapp 7; "
             "no time kept (only sx 2 keeps tempo); next signal 300 m on"},
      {2800, "left side sx 2, aspects s1 4, s2 0, s3 0; right side dx 1, aspects d1 0, d2 0, d3 0; repetition rapp 12; "
             "time tempo 250; no signal after it"},
  };
  for (const auto& c : cases) EXPECT_EQ(signal_words(cells, cell_of(c.posizione)), c.words) << c.posizione;
  EXPECT_EQ(signal_phrases(cells, cell_of(1000)).size(), 5u);
  EXPECT_EQ(signal_phrases(cells, cells.size()), std::vector<std::string>{});

  std::vector<TrackCell> odd = cells;
  odd[cell_of(1500)].signal_time = 7;  // a time byte the placer never writes for sx 1
  EXPECT_NE(signal_words(odd, cell_of(1500)).find("; time byte 7 (sx 2 alone keeps one);"), std::string::npos);
}

// The table's plain words: each side as its value and aspects, or none when all its values are 0;
// the time kept only for a left side of value 2.
TEST(SignalWords, TermsInPlainWordsGroupedBySide) {
  const std::vector<TrackCell> cells = placed({{1000, 2, 3, 1, 0, 0, 0, 0, 0, 0, 40}, {1500, 1, 5, 6, 0, 4, 1, 3, 0, 0, 0}});
  const SignalTerms first = signal_terms(cells, cell_of(1000));
  EXPECT_EQ(first.left, "value 2; aspects 3, 1, 0");
  EXPECT_EQ(first.right, "none");
  EXPECT_EQ(first.repetition, "value 0");
  EXPECT_EQ(first.time, "kept: a time of 1 to 100");
  EXPECT_EQ(first.next_signal, "500 m on");
  const SignalTerms second = signal_terms(cells, cell_of(1500));
  EXPECT_EQ(second.right, "value 1; aspects 3, 0, 0");
  EXPECT_EQ(second.repetition, "value 4");
  EXPECT_EQ(second.time, "not kept (only a left side of value 2 keeps one)");
  EXPECT_EQ(second.next_signal, "none after it");
}

}  // namespace
}  // namespace scenario
