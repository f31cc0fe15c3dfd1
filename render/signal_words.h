// What a signal cell's values mean, in the terms of the train description's signal record.
//
// A signal record "segnale" has eleven values: posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3,
// tempo; the placer packs them into the signal's cell, and the cell arithmetic takes them apart
// again (compiler/cell_values.h: signal_record). The words name each term by its place in the
// record: sx and s1 to s3 the left-hand side with its three aspects, dx and d1 to d3 the
// right-hand side, rapp the repetition, tempo the time (kept only for sx 2, a tempo of 1 to 100
// stored as 101); and how far the next signal stands.
#ifndef SCENARIO_RENDER_SIGNAL_WORDS_H_
#define SCENARIO_RENDER_SIGNAL_WORDS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "model/track_model.h"

namespace scenario {

// The meaning of the signal on cells[index], one phrase per term: the left side, the right side,
// the repetition, the time and the distance to the next signal cell ("next signal 1300 m on", or
// "no signal after it"). Nothing for an index past the cells.
std::vector<std::string> signal_phrases(const std::vector<TrackCell>& cells, size_t index);

// The phrases joined by "; ", for one line of text.
std::string signal_words(const std::vector<TrackCell>& cells, size_t index);

// The same terms in plain words, grouped by side, for a table whose columns name them: each side
// as "none" (all its values 0) or its value and three aspects, the repetition value, whether a
// time is kept and which, and how far the next signal stands.
struct SignalTerms {
  std::string left;
  std::string right;
  std::string repetition;
  std::string time;
  std::string next_signal;
};
SignalTerms signal_terms(const std::vector<TrackCell>& cells, size_t index);

}  // namespace scenario

#endif  // SCENARIO_RENDER_SIGNAL_WORDS_H_
