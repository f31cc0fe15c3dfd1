#include "compiler/train_features.h"

#include "model/cell_values.h"
#include "model/rounding.h"

namespace scenario {
namespace {

// Signals: approach cells every second cell before the signal, four of them.
constexpr int64_t kApproachCells = 4;
constexpr int64_t kApproachSpacing = 2;

// Slowdowns: the warning board stands 1200 m before the start, and only starts beyond 1500 m get one.
constexpr int64_t kWarningDistance = 1200;
constexpr int64_t kWarningFrom = 1500;
constexpr int64_t kPrewarningCells = 4;

bool inside(const CompileState& state, int64_t cell) {
  return cell >= 0 && cell < static_cast<int64_t>(state.cells.size());
}

// A cell a marker may be put on: inside the array and free.
bool placeable(const CompileState& state, int64_t cell) {
  return inside(state, cell) && is_free(state.cells[static_cast<size_t>(cell)]);
}

TrackCell& cell_at(CompileState& state, int64_t cell) { return state.cells[static_cast<size_t>(cell)]; }

// The refusal of a marker. A cell outside the array is refused like a taken one, with words that
// say so; a taken cell needs none.
Placement refuse(const CompileState& state, ErrorNumber number, int64_t cell, const char* outside_words) {
  return inside(state, cell) ? Placement::Taken(number, cell) : Placement::Refused(number, outside_words);
}

// The four pre-warning cells of a slowdown, on the cells before its warning board: the one right
// before it holds 1, the fourth before it 4. All four must be free.
Placement place_prewarning(CompileState& state, const SlowdownRecord& record) {
  // The cell before the warning board, without the +1 of the markers.
  const int64_t before_warning = fill_cell_of_position(int64_t{record.x} - kWarningDistance);
  for (int64_t j = 0; j < kPrewarningCells; ++j) {
    if (!placeable(state, before_warning - j)) {
      return refuse(state, ErrorNumber::kPrewarningTaken, before_warning - j,
                    "a pre-warning cell lies outside the cells");
    }
  }
  for (int64_t j = 0; j < kPrewarningCells; ++j) {
    state.lay(before_warning - j, kSlowdownPrewarning);
    TrackCell& prewarning = cell_at(state, before_warning - j);
    prewarning.value_a = low16(j + 1);
    if (record.d_v != 0) prewarning.value_b = low16(j + 1);
  }
  return Placement::Placed();
}

}  // namespace

Placement memo_segnale(CompileState& state, SignalRecord& record) {
  const int64_t c = cell_of_position(record.posizione);
  const int64_t farthest_approach = c - kApproachCells * kApproachSpacing;
  if (!inside(state, farthest_approach)) {
    return refuse(state, ErrorNumber::kSignalTaken, farthest_approach,
                  "its approach cells would lie before the start of the line: a signal needs 325 m from it");
  }
  if (!placeable(state, c)) return refuse(state, ErrorNumber::kSignalTaken, c, "the signal lies beyond the last cell");
  state.lay(c, kSignal);
  TrackCell& signal = cell_at(state, c);
  pack_signal(record, signal);
  const int64_t side = side_code(record.sx, record.dx);
  if (record.tempo >= kTempoRaisedFrom && record.tempo <= kTempoRaisedTo) record.tempo = kTempoRaised;
  signal.signal_time = record.sx == kSxWithTime ? low8(record.tempo) : 0;
  for (int64_t k = 1; k <= kApproachCells; ++k) {
    cell_at(state, c - kApproachSpacing * k).approach_code = approach_code(side, k);
  }
  return Placement::Placed();
}

Placement memo_rallentamento(CompileState& state, const SlowdownRecord& record) {
  const int64_t x = record.x;
  const int64_t warning = cell_of_position(x - kWarningDistance);
  const int64_t start = cell_of_position(x);
  const int64_t end = cell_of_position(x + record.l);
  const bool has_warning = x > kWarningFrom;
  const bool wants_prewarning = has_warning && record.f_ta != 0;

  if (has_warning && !placeable(state, warning)) {
    return refuse(state, ErrorNumber::kWarningTaken, warning, "the warning board lies beyond the last cell");
  }
  if (!placeable(state, start)) {
    return refuse(state, ErrorNumber::kSlowdownStartTaken, start, "the start lies outside the cells");
  }
  if (end < start) {
    return Placement::Refused(ErrorNumber::kSlowdownEndTaken,
                              "its length is negative: the end would lie before the start");
  }
  if (!placeable(state, end)) {
    return refuse(state, ErrorNumber::kSlowdownEndTaken, end, "the end lies beyond the last cell");
  }

  // The end first, then the start: a slowdown shorter than one cell ends as a start marker.
  state.lay(end, kSlowdownEnd);
  TrackCell& end_cell = cell_at(state, end);
  if (record.d_v != 0) end_cell.value_b = low16(record.d_v);
  state.lay(start, kSlowdownStart);
  TrackCell& start_cell = cell_at(state, start);
  if (record.d_v != 0) start_cell.value_b = low16(record.d_v);
  if (has_warning) {
    state.lay(warning, kSlowdownWarning);
    TrackCell& warning_cell = cell_at(state, warning);
    if (record.d_v != 0) warning_cell.value_b = low16(record.d_v);
    warning_cell.value_a = low16(record.v);
  }
  for (int64_t marker : {start, end}) {
    cell_at(state, marker).value_a = low16(record.v);
    cell_at(state, marker).value_c = low16(record.f_tt);
  }
  return wants_prewarning ? place_prewarning(state, record) : Placement::Placed();
}

}  // namespace scenario
