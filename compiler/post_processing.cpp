#include "compiler/post_processing.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "model/cell_values.h"
#include "model/rounding.h"

namespace scenario {
namespace {

constexpr int kSignalLookBack = 20;     // rule 1: cells before a warning board searched for signals
constexpr int kLowestTreatedSignal = 3;  // rule 1: a signal needs two cells before it, above cell 0
constexpr int16_t kFastSlowdown = 110;  // rule 3: slowdowns this fast or faster get no inner points
constexpr int kInnerPointSpacing = 8;   // rule 3: cells between points inside a slowdown
constexpr int kSignalLookAhead = 12;    // rule 4: cells after the end searched for a signal


// Walks the cells once and applies the rules; one object per walk.
class CellWalk {
 public:
  CellWalk(CompileState& state, CheckFindings* findings)
      : state_(state), findings_(findings), last_(static_cast<int>(state.cells.size()) - 1) {}

  void run() {
    for (int i = 1; i <= last_ - 2; ++i) {
      const uint8_t kind = cell(i).kind;
      if (kind == kSlowdownWarning) {
        signals_before_warning(i);
      } else if (kind == kSlowdownStart) {
        points_before_start(i);
        const int end = points_inside(i);
        if (end >= 0) point_before_next_signal(end);
      }
    }
  }

 private:
  TrackCell& cell(int index) { return state_.cells[static_cast<size_t>(index)]; }
  bool free_at(int index) { return is_free(cell(index)); }

  void mark(int index) {
    cell(index).kind = kCutOffPoint;
    cell(index).value_a = kCutOffPointValue;
  }
  void lower(int index) { cell(index).value_a = std::min(kCutOffPointValue, cell(index).value_a); }

  // Records an error of the walk at 50 * the cell index; it belongs to no description record. Its
  // words name the feature it is about and where that stands, as every view names a cell.
  void fail_at_cell(ErrorNumber number, int index, const char* feature) {
    CheckFindings::record(state_, findings_, number, static_cast<int32_t>(CELL_LENGTH * index), {},
                          std::string(feature) + " on cell " + std::to_string(index) + ", at " +
                              std::to_string(cell_metres(index)) + " m");
  }

  // Rule 1: every signal within 20 cells before the warning board gets a cut-off point one or two
  // cells before it, or an existing one there is lowered to at most 180.
  void signals_before_warning(int i) {
    for (int j = 1; j <= kSignalLookBack && i - j >= kLowestTreatedSignal; ++j) {
      const int d = i - j;
      if (cell(d).kind != kSignal) continue;
      if (free_at(d - 1)) {
        mark(d - 1);
      } else if (free_at(d - 2)) {
        mark(d - 2);
      } else if (cell(d - 1).kind == kCutOffPoint) {
        lower(d - 1);
      } else if (cell(d - 2).kind == kCutOffPoint) {
        lower(d - 2);
      } else {
        fail_at_cell(ErrorNumber::kSignalBeforeWarning, d, "the signal");
      }
    }
  }

  // Rule 2: one point in each of three bands before the start, where the start is far enough in.
  void points_before_start(int i) {
    struct Band {
      int applies_above;
      int first_distance;
    };
    for (const Band& band : {Band{7, 5}, Band{13, 11}, Band{20, 18}}) {
      if (i <= band.applies_above) continue;
      bool placed = false;
      for (int distance = band.first_distance; distance < band.first_distance + 3 && !placed; ++distance) {
        if (free_at(i - distance)) {
          mark(i - distance);
          placed = true;
        }
      }
      if (!placed) fail_at_cell(ErrorNumber::kBeforeSlowdownStart, i, "the slowdown start");
    }
  }

  // Rule 3: inside a slowdown below 110 km/h, a point every 8 cells from the start, moved one cell
  // back (or else forward) where the cell is taken; the next interval counts from the point placed.
  // Returns the end cell the walk stopped on, where rule 4 looks from, or -1 when there is none.
  int points_inside(int i) {
    if (cell(i).value_a >= kFastSlowdown) return end_after(i);
    int s = 0;
    int w = i;
    while (true) {
      if (w >= last_) {
        // No end cell before the array's end: stop there rather than walk outside it.
        fail_at_cell(ErrorNumber::kInsideOrAfterSlowdown, w, "the last cell, without a slowdown end,");
        return w;
      }
      ++w;
      ++s;
      if (s == kInnerPointSpacing) {
        if (free_at(w)) {
          mark(w);
          s = 0;
        } else if (free_at(w - 1)) {
          mark(w - 1);
          s = 1;
        } else if (w + 1 <= last_ && free_at(w + 1)) {
          mark(w + 1);
          s = -1;
        } else {
          fail_at_cell(ErrorNumber::kInsideOrAfterSlowdown, w, "the point inside the slowdown");
        }
      }
      if (cell(w).kind == kSlowdownEnd) return w;
    }
  }

  // The slowdown's own end cell: the first end marker after its start, or -1.
  int end_after(int i) {
    for (int w = i + 1; w <= last_; ++w) {
      if (cell(w).kind == kSlowdownEnd) return w;
    }
    return -1;
  }

  // Rule 4: the first signal within 12 cells from the end gets a point one or two cells before it.
  void point_before_next_signal(int e) {
    const int look_to = std::min(e + kSignalLookAhead, last_);
    for (int k = e; k <= look_to; ++k) {
      if (cell(k).kind != kSignal) continue;
      if (k >= 1 && free_at(k - 1)) {
        mark(k - 1);
      } else if (k >= 2 && free_at(k - 2)) {
        mark(k - 2);
      } else {
        fail_at_cell(ErrorNumber::kInsideOrAfterSlowdown, e, "the point before the signal after the slowdown end");
      }
      return;
    }
  }

  CompileState& state_;
  CheckFindings* findings_;  // a check's findings, when checking
  const int last_;  // highest cell index, fixed before the walk
};

}  // namespace

void post_process(CompileState& state, CheckFindings* findings) {
  if (state.cells.empty()) return;
  CellWalk(state, findings).run();
}

}  // namespace scenario
