#include "decompile/decompile_line.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <utility>

#include "compiler/line_features.h"
#include "decompile/decompile_fills.h"
#include "decompile/decompile_plan.h"
#include "decompile/decompile_values.h"
#include "model/cell_values.h"
#include "model/header_view.h"
#include "model/rounding.h"

namespace scenario {
namespace {

using std::to_string;

constexpr int32_t kProgressionFlagShift = 100;
// A stretch whose first cell lies at most this many empty cells after the previous one's last is
// within 150 m of it at the simplest positions (50 m a cell).
constexpr int64_t kAdjacentEmptyCells = 3;
// Moving a stretch's start 24 m on and the previous end 24 m back keeps both on their cells and
// opens a gap of 198 m, beyond the 150 m of adjacency, when 3 cells lie between them.
constexpr int32_t kStretchNudge = 24;

// The line length: entry 84's when the cell count agrees with it, else the one the cells give.
int32_t recover_length(const ScenarioModel& files, Findings& findings) {
  const int32_t stored = HeaderView(files.station_table).line_length();
  const int64_t highest_cell = static_cast<int64_t>(files.cells.size()) - 1;
  const bool in_range = stored >= 0 && stored <= kMaxLineLength;
  if (in_range && cell_count_for_length(stored) == highest_cell) return stored;
  const int64_t from_cells = std::clamp<int64_t>(highest_cell * CELL_LENGTH - kCellsPastLineEnd, 0, kMaxLineLength);
  findings.add(entry_place(kEntryTrain), "the line length " + to_string(stored) + " m " +
                                             (in_range ? "gives cells 0 to " + to_string(cell_count_for_length(stored))
                                                       : std::string("lies outside 0 to 1000000 m")) +
                                             ", the track cells run from 0 to " + to_string(highest_cell) +
                                             "; written as " + to_string(from_cells) + " m");
  return static_cast<int32_t>(from_cells);
}

// The three progressions as written, in an order that progressive_ordina turns back into entries
// 81 to 83: each order of the three stored triples is tried, the flag's 100 m taken off first.
void recover_progressions(const ScenarioRecord& record, LineDescription& line, Findings& findings) {
  const HeaderView stored(record);
  std::array<Progression, 3> written;
  for (ProgressionSlot slot : kProgressionSlots) {
    Progression p = stored.progression(slot);
    if (p.flag == 1 && int64_t{p.second} - kProgressionFlagShift >= std::numeric_limits<int32_t>::min()) {
      p.second -= kProgressionFlagShift;
    }
    written[static_cast<size_t>(slot)] = p;
  }
  std::array<size_t, 3> order = {0, 1, 2};  // uno, due, tre written as the entries 81 + order[i] hold
  do {
    CompileState scratch;
    const HeaderView read(scratch.station_table);
    read.set_progression(ProgressionSlot::kUno, written[order[0]]);
    read.set_progression(ProgressionSlot::kDue, written[order[1]]);
    read.set_progression(ProgressionSlot::kTre, written[order[2]]);
    progressive_ordina(scratch);
    bool same = true;
    for (ProgressionSlot slot : kProgressionSlots) same = same && read.progression(slot) == stored.progression(slot);
    if (same) {
      line.uno = written[order[0]];
      line.due = written[order[1]];
      line.tre = written[order[2]];
      return;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  findings.add(entry_place(kEntryProgressionTre),
               "the kilometric progressions of entries 81 to 83 are in no order that the compile's ordering gives");
  line.uno = written[0];
  line.due = written[1];
  line.tre = written[2];
}

void recover_general(const ScenarioRecord& record, LineDescription& line, Findings& findings) {
  recover_progressions(record, line, findings);
  const HeaderView header(record);
  line.sfondo_uno = header.background_one();
  line.sfondo_due = header.background_two();
  line.sfondo_tre = header.background_three();
  line.repetition_from = header.repetition_from();
  line.repetition_to = header.repetition_to();
  const int32_t codes = header.repetition_codes();
  line.repetition_codes = codes == 9 ? 9 : 4;
  const bool consistent = line.repetition_to == 0 ? codes == 0 : (codes == 4 || codes == 9);
  if (!consistent) {
    findings.add(entry_place(kEntryRepetition),
                 "a signal repetition of " + to_string(codes) + " codes to " + to_string(line.repetition_to) +
                     " m: the compile stores 4 or 9 codes, and 0 when the repetition runs to 0 m");
  }
}

void recover_gradients(const std::vector<TrackCell>& cells, LineDescription& line) {
  for (const FillRecord& fill : recover_fill(cells, &TrackCell::gradient)) {
    line.gradients.push_back(PositionValue{fill.position, gradient_per_mille(fill.stored)});
  }
}

// Mountain stretches, one per run of cells of one nonzero type, and the two ways a later stretch
// written over an earlier one shows in the cells: a run of type 3 between two runs of one other
// type is a stretch written inside the stretch that spans all three (its start lies before the
// other's end, so the compile gives it type 3), and so are further runs between further parts of
// that stretch; a run of type 3 right after another run, holding
// markers in step with that run's but not with its own, starts inside the stretch before, which
// reaches on to its last such marker.
class MountainRuns {
 public:
  MountainRuns(const std::vector<TrackCell>& cells, LineDescription& line, Findings& findings)
      : cells_(cells), line_(line), findings_(findings) {}

  void run() {
    collect();
    layer();
    for (Run& run : runs_) {
      run.origin = marker_origin(run);
      run.marking = marking_of(run);
    }
    report_unexplained_markers();
    resolve_unseen_marking();
    for (const Run& run : runs_) stretch(run);
  }

 private:
  // What a stretch's 4th, 8th, ... cells tell of its marking: a montagna_marker, or an empty cell
  // (a marker is never taken back to empty), or nothing when every such cell holds another feature.
  enum class Marking { kMarked, kUnmarked, kUnseen };

  // A stretch to write: the cells of its type from `first` to `last`, and the cells it reaches
  // over, up to `reach`, where a stretch written after it took them.
  struct Run {
    int64_t first = 0;
    int64_t last = 0;
    int64_t reach = 0;
    int64_t origin = 0;  // the cell its markers count from
    uint8_t tipo = 0;
    Marking marking = Marking::kUnseen;
  };

  const TrackCell& cell(int64_t i) const { return cells_[static_cast<size_t>(i)]; }
  static bool in_step(int64_t i, int64_t origin) {
    return ((i - origin) % kMarkerSpacing + kMarkerSpacing) % kMarkerSpacing == kMarkerSpacing - 1;
  }

  void collect() {
    const int64_t count = static_cast<int64_t>(cells_.size());
    for (int64_t i = 0; i < count;) {
      if (cell(i).montagna_tipo == 0) {
        if (cell(i).kind == kMountainMarker) {
          findings_.add(cell_place(i), "a mountain stretch marker outside every mountain stretch");
        }
        ++i;
        continue;
      }
      Run run;
      run.first = i;
      run.tipo = cell(i).montagna_tipo;
      run.last = i;
      while (run.last + 1 < count && cell(run.last + 1).montagna_tipo == run.tipo) ++run.last;
      run.reach = run.last;
      runs_.push_back(run);
      i = run.last + 1;
    }
  }

  // Finds the stretches written over earlier ones, and orders the runs as their records: the
  // stretch that reaches over others first, then those written over it.
  void layer() {
    std::vector<Run> layered;
    for (size_t i = 0; i < runs_.size();) {
      Run host = runs_[i];
      std::vector<Run> over;
      size_t next = i + 1;
      if (host.tipo != kAdjacentStretchType) {
        // Inside: another type, then the host's type again, as often as the pattern goes on. The
        // first stretch inside starts before the host's end, so it has type 3; later ones have
        // their own unless they start within 150 m of the one before.
        while (next + 1 < runs_.size() && touches(host.last, runs_[next]) &&
               (over.empty() ? runs_[next].tipo == kAdjacentStretchType : runs_[next].tipo != host.tipo) &&
               touches(runs_[next].last, runs_[next + 1]) && runs_[next + 1].tipo == host.tipo) {
          over.push_back(runs_[next]);
          host.last = runs_[next + 1].last;
          next += 2;
        }
        host.reach = host.last;
        // Overlapping: type 3 right after, holding the host's markers.
        if (over.empty() && next < runs_.size() && touches(host.last, runs_[next]) &&
            runs_[next].tipo == kAdjacentStretchType) {
          const Run& after = runs_[next];
          for (int64_t m = after.first; m <= after.last; ++m) {
            if (cell(m).kind == kMountainMarker && in_step(m, host.first) && !in_step(m, after.first)) host.reach = m;
          }
        }
      }
      layered.push_back(host);
      layered.insert(layered.end(), over.begin(), over.end());
      i = next;
    }
    runs_ = std::move(layered);
  }

  static bool touches(int64_t last, const Run& run) { return run.first == last + 1; }

  // The stretch's first cell, or a cell before the array when the stretch starts at cell 0 with
  // markers out of step with it.
  int64_t marker_origin(const Run& run) const {
    if (run.first != 0) return run.first;
    for (int64_t i = 0; i <= run.last; ++i) {
      if (cell(i).kind != kMountainMarker) continue;
      if (in_step(i, 0)) return 0;
      return i - (kMarkerSpacing - 1) - kMarkerSpacing * ((i + 1) / kMarkerSpacing);
    }
    return 0;
  }

  Marking marking_of(const Run& run) {
    bool marker = false;
    int64_t empty = -1;
    for (int64_t i = run.origin + kMarkerSpacing - 1; i <= run.reach; i += kMarkerSpacing) {
      if (i < run.first) continue;
      if (cell(i).kind == kMountainMarker) marker = true;
      if (cell(i).kind == kEmpty && empty < 0) empty = i;
    }
    if (marker && empty >= 0) {
      findings_.add(cell_place(empty), "an empty cell where its marked mountain stretch puts a marker");
    }
    if (marker) return Marking::kMarked;
    return empty >= 0 ? Marking::kUnmarked : Marking::kUnseen;
  }

  // A marker that no marked stretch reaching over its cell lays in step.
  void report_unexplained_markers() {
    std::vector<bool> explained(cells_.size(), false);
    for (const Run& run : runs_) {
      if (run.marking != Marking::kMarked) continue;
      for (int64_t i = run.origin + kMarkerSpacing - 1; i <= run.reach; i += kMarkerSpacing) {
        if (i >= run.first) explained[static_cast<size_t>(i)] = true;
      }
    }
    for (const Run& run : runs_) {
      for (int64_t i = run.first; i <= run.last; ++i) {
        if (cell(i).kind == kMountainMarker && !explained[static_cast<size_t>(i)]) {
          findings_.add(cell_place(i),
                        "a mountain stretch marker out of step with the 4th, 8th, ... cells of its stretch");
        }
      }
    }
  }

  // A stretch whose marking cannot be seen (too short to carry a marker, or every marker covered)
  // gives the same cells either way; it is written like the next stretch that shows its marking.
  void resolve_unseen_marking() {
    Marking next_seen = Marking::kUnmarked;
    for (auto run = runs_.rbegin(); run != runs_.rend(); ++run) {
      if (run->marking == Marking::kUnseen) {
        run->marking = next_seen;
      } else {
        next_seen = run->marking;
      }
    }
  }

  void stretch(const Run& run) {
    const bool marked = run.marking == Marking::kMarked;
    MountainRecord record{static_cast<int32_t>(run.origin * CELL_LENGTH),
                          static_cast<int32_t>((run.reach + 1) * CELL_LENGTH), 0};
    const bool follows = !line_.mountains.empty();
    const int64_t empty_between = run.first - previous_last_ - 1;
    bool adjacent = follows && empty_between <= kAdjacentEmptyCells;
    if (adjacent && run.tipo != kAdjacentStretchType) {
      if (empty_between == kAdjacentEmptyCells) {
        record.inizio += kStretchNudge;
        line_.mountains.back().fine -= kStretchNudge;
        adjacent = false;
      } else {
        findings_.add(stretch_place(run.first), "a mountain stretch of type " + to_string(run.tipo) +
                                                 " within 150 m after the one before, which the compile gives type 3");
      }
    }
    int32_t base;
    if (adjacent) {
      base = previous_base_ >= 1 && previous_base_ <= kMarkedTypeOffset ? previous_base_ : kAdjacentStretchType;
    } else if (marked || run.tipo <= kMarkedTypeOffset) {
      base = run.tipo;
    } else {
      base = int32_t{run.tipo} - 256;  // stored in eight bits as tipo, not above 10: not marked
    }
    record.tipo = base + (marked ? kMarkedTypeOffset : 0);
    line_.mountains.push_back(record);
    previous_last_ = run.reach;
    previous_base_ = base;
  }

  const std::vector<TrackCell>& cells_;
  LineDescription& line_;
  Findings& findings_;
  std::vector<Run> runs_;
  int64_t previous_last_ = 0;
  int32_t previous_base_ = 0;
};

SpeedBoardRecord speed_board_at(int64_t cell, const TrackCell& board) {
  const BoardSpeeds a = split_board_speed(board.value_a);
  const BoardSpeeds b = split_board_speed(board.value_b);
  const BoardSpeeds c = split_board_speed(board.value_c);
  const TensAndUnit stripes = split_tens(board.value_d);
  return SpeedBoardRecord{marker_position(cell), a.left, b.left, c.left, stripes.tens, a.right, b.right, c.right,
                          stripes.unit};
}

// Speed boards from cells of kind 6; a stop marker that holds values in value_b to value_d stands
// over a board laid before it (the marker rewrites only kind and value_a).
void recover_speed_boards(const std::vector<TrackCell>& cells, LineDescription& line) {
  for (size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& cell = cells[i];
    const bool covered = cell.kind == kStopMarker && (cell.value_b != 0 || cell.value_c != 0 || cell.value_d != 0);
    if (cell.kind != kSpeedBoard && !covered) continue;
    TrackCell board = cell;
    if (covered) board.value_a = 0;
    line.speed_boards.push_back(speed_board_at(static_cast<int64_t>(i), board));
  }
}

// Line-side boards in the order of their entries, 80 downward, which is the order that gives
// them those entries again. A board whose cell a station's stop marker took later (the marker takes
// any cell) shows only by its entry: between the entries of the boards that show, or below them
// with a text and no number. It is written on a stop marker's cell, where it is hidden again.
class Boards {
 public:
  Boards(const ScenarioModel& files, LineDescription& line, Findings& findings)
      : files_(files), line_(line), findings_(findings) {}

  void run() {
    std::vector<std::pair<int32_t, int64_t>> shown;  // entry, cell
    for (size_t i = 0; i < files_.cells.size(); ++i) {
      const TrackCell& cell = files_.cells[i];
      if (cell.kind == kStopMarker && cell.value_b == 0 && cell.value_c == 0 && cell.value_d == 0) {
        stop_markers_.push_back(static_cast<int64_t>(i));
      }
      if (cell.kind != kBoardText) continue;
      if (cell.value_a < kLowestBoardSlot || cell.value_a > kFirstBoardSlot) {
        findings_.add(cell_place(static_cast<int64_t>(i)), "a line-side board naming entry " + to_string(cell.value_a) +
                                                               ", outside the boards' entries " + to_string(kLowestBoardSlot) + " to " + to_string(kFirstBoardSlot));
        continue;
      }
      shown.emplace_back(cell.value_a, static_cast<int64_t>(i));
    }
    std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    int32_t next = kFirstBoardSlot;
    for (const auto& [entry, cell] : shown) {
      if (entry > next) {
        findings_.add(cell_place(cell),
                      "a line-side board naming entry " + to_string(entry) + ", which a board before it names already");
        continue;
      }
      while (next > entry) hidden(next--);
      board(entry, cell);
      next = entry - 1;
    }
    // Below the boards that show: entries that hold a text and no number, down to the stations.
    int32_t lowest = next + 1;
    for (int32_t k = next; k >= kLowestBoardSlot && !holds_a_number(entry(k)); --k) {
      if (!entry(k).name.empty()) lowest = k;
    }
    while (next >= lowest) hidden(next--);
  }

 private:
  const StationEntry& entry(int32_t k) const { return files_.station_table[static_cast<size_t>(k)]; }

  void board(int32_t k, int64_t cell) {
    BoardRecord record{marker_position(cell), text_as_read(entry(k).name)};
    if (record.text != entry(k).name) {
      findings_.add(entry_place(k),
                    "the board text holds a comma, a line end, or blanks around it, "
                    "which a description's text field cannot hold");
    }
    line_.boards.push_back(std::move(record));
  }

  void hidden(int32_t k) {
    if (next_stop_marker_ == stop_markers_.size()) {
      findings_.add(entry_place(k),
                    "a line-side board's entry that no board cell names, and no station's stop "
                    "marker is left to have covered the board");
      return;
    }
    board(k, stop_markers_[next_stop_marker_++]);
  }

  const ScenarioModel& files_;
  LineDescription& line_;
  Findings& findings_;
  std::vector<int64_t> stop_markers_;  // cells a hidden board may stand on
  size_t next_stop_marker_ = 0;
};

}  // namespace

LineDescription recover_line(const ScenarioModel& files, Findings& findings) {
  LineDescription line;
  line.length = recover_length(files, findings);
  recover_general(files.station_table, line, findings);
  line.curves = recover_curves(files.plan, line.length, findings);
  recover_gradients(files.cells, line);
  MountainRuns(files.cells, line, findings).run();
  recover_speed_boards(files.cells, line);
  Boards(files, line, findings).run();
  return line;
}

}  // namespace scenario
