// What a signal cell's values mean, in the terms of the train description's signal record.
//
// A signal record "segnale" has eleven values: posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3,
// tempo. The placer packs them into the signal's cell:
//   value_d = rapp * 10 + sx * 3 + dx     value_a = s1 * 10 + d1
//   value_b = s2 * 10 + d2                value_c = s3 * 10 + d3
//   signal_time = tempo (low 8 bits) when sx is 2, with a tempo of 1 to 100 stored as 101; else 0.
// Unpacking reverses that for the values the record uses: dx 0 to 2, d1 to d3 0 to 9, and
// sx * 3 + dx below 10. A cell holding a negative value cannot come from such a record and is
// shown as it is. The words name each value by its place in the record: sx and s1 to s3 the
// left-hand side with its three aspects, dx and d1 to d3 the right-hand side, rapp the
// repetition, tempo the time; and how far the next signal stands.
#ifndef SCENARIO_TOOLS_SIGNAL_WORDS_H_
#define SCENARIO_TOOLS_SIGNAL_WORDS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "compiler/track_model.h"

namespace scenario {

// The record values behind a signal cell.
struct SignalTerms {
  int sx = 0, s1 = 0, s2 = 0, s3 = 0;  // left-hand side and its three aspects
  int dx = 0, d1 = 0, d2 = 0, d3 = 0;  // right-hand side and its three aspects
  int rapp = 0;                        // repetition
  int signal_time = 0;                 // the time byte as stored

  bool operator==(const SignalTerms&) const = default;
};

// The record values packed into `cell`; nothing when a value is negative.
std::optional<SignalTerms> unpack_signal(const TrackCell& cell);

// The meaning of the signal on cells[index], one phrase per term: the left side, the right side,
// the repetition, the time and the distance to the next signal cell ("next signal 1300 m on", or
// "no signal after it"). A cell whose values cannot be unpacked gets one phrase saying so.
std::vector<std::string> signal_phrases(const std::vector<TrackCell>& cells, size_t index);

// The phrases joined by "; ", for one line of text.
std::string signal_words(const std::vector<TrackCell>& cells, size_t index);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SIGNAL_WORDS_H_
