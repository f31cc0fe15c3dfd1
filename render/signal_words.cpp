#include "render/signal_words.h"

#include <optional>

#include "model/cell_values.h"

namespace scenario {
namespace {

using std::to_string;


std::string side_phrase(const char* side, const char* letter, int value, const char* aspect, int a1, int a2,
                        int a3) {
  const std::string a = aspect;
  return std::string(side) + " side " + letter + " " + to_string(value) + ", aspects " + a + "1 " + to_string(a1) +
         ", " + a + "2 " + to_string(a2) + ", " + a + "3 " + to_string(a3);
}

std::string time_phrase(const SignalRecord& terms) {
  if (terms.sx == kSxWithTime) {
    if (terms.tempo == kTempoRaised) return "time tempo 1 to 100 (stored as 101)";
    return "time tempo " + to_string(terms.tempo);
  }
  if (terms.tempo == 0) return "no time kept (only sx 2 keeps tempo)";
  return "time byte " + to_string(terms.tempo) + " (sx 2 alone keeps one)";
}

// How far the next signal cell stands after the one on cells[index], in metres, or nothing.
std::optional<int64_t> next_signal_distance(const std::vector<TrackCell>& cells, size_t index) {
  for (size_t next = index + 1; next < cells.size(); ++next) {
    if (cells[next].kind == kSignal) return CELL_LENGTH * static_cast<int64_t>(next - index);
  }
  return std::nullopt;
}

std::string next_signal_phrase(const std::vector<TrackCell>& cells, size_t index) {
  const std::optional<int64_t> distance = next_signal_distance(cells, index);
  return distance ? "next signal " + to_string(*distance) + " m on" : "no signal after it";
}

std::string plain_side(int value, int a1, int a2, int a3) {
  if (value == 0 && a1 == 0 && a2 == 0 && a3 == 0) return "none";
  return "value " + to_string(value) + "; aspects " + to_string(a1) + ", " + to_string(a2) + ", " + to_string(a3);
}

std::string plain_time(const SignalRecord& terms) {
  if (terms.sx == kSxWithTime) {
    if (terms.tempo == kTempoRaised) return "kept: a time of 1 to 100";
    return "kept: " + to_string(terms.tempo);
  }
  if (terms.tempo == 0) return "not kept (only a left side of value 2 keeps one)";
  return "not kept by the format, yet " + to_string(terms.tempo) + " is stored";
}

std::string plain_next_signal(const std::vector<TrackCell>& cells, size_t index) {
  const std::optional<int64_t> distance = next_signal_distance(cells, index);
  return distance ? to_string(*distance) + " m on" : "none after it";
}

}  // namespace

SignalTerms signal_terms(const std::vector<TrackCell>& cells, size_t index) {
  if (index >= cells.size()) return {};
  const SignalRecord terms = signal_record(static_cast<int64_t>(index), cells[index]);
  return {plain_side(terms.sx, terms.s1, terms.s2, terms.s3), plain_side(terms.dx, terms.d1, terms.d2, terms.d3),
          "value " + to_string(terms.rapp), plain_time(terms), plain_next_signal(cells, index)};
}

std::vector<std::string> signal_phrases(const std::vector<TrackCell>& cells, size_t index) {
  if (index >= cells.size()) return {};
  const SignalRecord terms = signal_record(static_cast<int64_t>(index), cells[index]);
  return {side_phrase("left", "sx", terms.sx, "s", terms.s1, terms.s2, terms.s3),
          side_phrase("right", "dx", terms.dx, "d", terms.d1, terms.d2, terms.d3),
          "repetition rapp " + to_string(terms.rapp), time_phrase(terms), next_signal_phrase(cells, index)};
}

std::string signal_words(const std::vector<TrackCell>& cells, size_t index) {
  std::string words;
  for (const std::string& phrase : signal_phrases(cells, index)) words += (words.empty() ? "" : "; ") + phrase;
  return words;
}

}  // namespace scenario
