#include "decompile/decompile_train.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "decompile/decompile_fills.h"
#include "decompile/decompile_signal_order.h"
#include "decompile/decompile_values.h"
#include "model/cell_values.h"
#include "model/header_view.h"

namespace scenario {
namespace {

using std::to_string;

constexpr int64_t kWarningCells = 24;      // the warning board stands 1200 m before the start
constexpr int32_t kWarningFrom = 1500;     // only starts beyond 1500 m get one
constexpr int64_t kWarningEdgeStart = 31;  // 1500 m exactly; at 1520 m it gets a warning board
constexpr int32_t kWarningEdgePosition = 1520;
constexpr int64_t kPrewarningCells = 4;
constexpr int32_t kHalfCell = 25;              // a start 25 m back rounds its halves apart
constexpr int64_t kFarthestApproachCell = 8;  // a signal's approach codes reach 8 cells back
constexpr int64_t kApproachSpacing = 2;       // on every second cell
constexpr int32_t kExtensionLength = 50;

bool is_short_station(int32_t type) { return type == 5 || type == 6; }
bool is_origin_station(int32_t type) { return type == 7 || type == 8; }

const TrackCell& at(const std::vector<TrackCell>& cells, int64_t index) { return cells[static_cast<size_t>(index)]; }

void recover_general(const ScenarioRecord& record, TrainDescription& train) {
  const HeaderView header(record);
  train.cars = header.number_of_cars();
  train.braked_mass = header.braked_mass_percentage();
  train.sand = header.sand();
  train.clock_hours = header.clock_hours();
  train.clock_minutes = header.clock_minutes();
  train.clock_seconds = header.clock_seconds();
}

void recover_stretches(const std::vector<TrackCell>& cells, TrainDescription& train) {
  for (const FillRecord& fill : recover_fill(cells, &TrackCell::speed_limit)) {
    train.speed_limits.push_back(PositionValue{fill.position, speed_kmh(fill.stored)});
  }
  for (const FillRecord& fill : recover_fill(cells, &TrackCell::adhesion)) {
    train.adhesion.push_back(PositionValue{fill.position, fill.stored});
  }
}

int32_t to_long(int64_t value, const std::string& place, const char* what, Findings& findings) {
  if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
    return static_cast<int32_t>(value);
  }
  findings.add(place, std::string("the station's ") + what + " does not fit a 32-bit field");
  return 0;
}

StationRecord station_of(const StationEntry& entry, int32_t number, Findings& findings) {
  const std::string place = entry_place(number);
  StationRecord s;
  s.position = entry.position;
  s.station_type = entry.station_type;
  s.option_a = entry.option_a;
  s.option_b = entry.option_b;
  const int64_t before = int64_t{entry.position} - entry.area_start;
  if (is_short_station(s.station_type) || is_origin_station(s.station_type)) {
    s.platform_length = to_long(before, place, "platform length", findings);
  } else {
    s.platform_length = to_long(2 * before, place, "platform length", findings);
    // The first station's option_c is cleared after it has extended the area.
    const int64_t plain_end = int64_t{entry.position} + s.platform_length / 2;
    s.option_c = number == 1 ? (entry.area_end - plain_end == kExtensionLength ? 1 : 0) : entry.option_c;
  }
  s.group1_a = entry.group1_a;
  s.group1_b = entry.group1_b;
  s.group1_c = entry.group1_c;
  s.group2_a = entry.group2_a;
  s.group2_b = entry.group2_b;
  s.group2_c = entry.group2_c;
  s.stop_value = entry.stop_value;
  const DepartureTime time = split_departure_time(entry.time_seconds);
  s.hours = time.hours;
  s.minutes = time.minutes;
  s.seconds = time.seconds;
  s.name = text_as_read(entry.name);
  if (s.name != entry.name) {
    findings.add(place,
                 "the station name holds a comma, a line end, or blanks around it, "
                 "which a description's text field cannot hold");
  }
  return s;
}

// Stations fill entries 1 upward, up to the last entry below the boards' that holds a number (the
// entries between are the boards', decompile_line.h).
void recover_stations(const ScenarioModel& files, TrainDescription& train, Findings& findings) {
  int32_t lowest_board = kFirstBoardSlot + 1;
  for (const TrackCell& cell : files.cells) {
    if (cell.kind == kBoardText && cell.value_a >= 2 && cell.value_a < lowest_board) lowest_board = cell.value_a;
  }
  int32_t last = 0;
  for (int32_t k = 1; k < lowest_board; ++k) {
    if (holds_a_number(files.station_table[static_cast<size_t>(k)])) last = k;
  }
  for (int32_t k = 1; k <= last; ++k) {
    train.stations.push_back(station_of(files.station_table[static_cast<size_t>(k)], k, findings));
  }
}

bool same_slowdown_values(const TrackCell& start, const TrackCell& end) {
  return start.value_a == end.value_a && start.value_b == end.value_b && start.value_c == end.value_c;
}

// Slowdowns from their start cells, each paired with the next end cell of the same values.
class SlowdownCells {
 public:
  SlowdownCells(const std::vector<TrackCell>& cells, TrainDescription& train, Findings& findings)
      : cells_(cells), train_(train), findings_(findings), explained_(cells.size(), false) {}

  void run() {
    std::vector<int64_t> ends;
    for (size_t i = 0; i < cells_.size(); ++i) {
      if (cells_[i].kind == kSlowdownEnd) ends.push_back(static_cast<int64_t>(i));
    }
    size_t next_end = 0;
    for (size_t i = 0; i < cells_.size(); ++i) {
      if (cells_[i].kind != kSlowdownStart) continue;
      const int64_t start = static_cast<int64_t>(i);
      while (next_end < ends.size() && ends[next_end] <= start) {
        findings_.add(cell_place(ends[next_end++]), "a slowdown end with no slowdown start of its values before it");
      }
      int64_t end = start;
      if (next_end < ends.size() && same_slowdown_values(cells_[i], at(cells_, ends[next_end]))) end = ends[next_end++];
      slowdown(start, end);
    }
    while (next_end < ends.size()) {
      findings_.add(cell_place(ends[next_end++]), "a slowdown end with no slowdown start of its values before it");
    }
    for (size_t i = 0; i < cells_.size(); ++i) {
      const uint8_t kind = cells_[i].kind;
      if ((kind == kSlowdownWarning || kind == kSlowdownPrewarning) && !explained_[i]) {
        findings_.add(cell_place(static_cast<int64_t>(i)),
                      kind == kSlowdownWarning ? "a slowdown warning board with no slowdown start 24 cells after it"
                                               : "a slowdown pre-warning cell that no warning board explains");
      }
    }
  }

 private:
  void slowdown(int64_t start, int64_t end) {
    const TrackCell& first = at(cells_, start);
    SlowdownRecord record;
    record.x = marker_position(start);
    const int64_t warning = start - kWarningCells;
    const bool warned = warning >= 0 && at(cells_, warning).kind == kSlowdownWarning;
    if (start == kWarningEdgeStart && warned) record.x = kWarningEdgePosition;
    record.v = first.value_a;
    record.f_tt = first.value_c;
    record.d_v = first.value_b;
    if (record.x > kWarningFrom) {
      if (warned) {
        explained_[static_cast<size_t>(warning)] = true;
      } else {
        findings_.add(cell_place(start), "a slowdown start beyond 1500 m without its warning board 24 cells before it");
      }
      // The pre-warning cells end on the cell before the warning board; 25 m earlier, with an even
      // start cell, the halves round apart and they end two cells before it.
      int64_t last_prewarning = warning - 1;
      bool prewarned = prewarned_from(last_prewarning);
      if (!prewarned && start % 2 == 0 && prewarned_from(warning - 2)) {
        last_prewarning = warning - 2;
        record.x -= kHalfCell;
        prewarned = true;
      }
      record.f_ta = prewarned ? 1 : 0;
      if (prewarned && record.d_v == 0 && at(cells_, last_prewarning).value_b != 0) record.d_v = 0x10000;
    }
    record.l = std::max(0, marker_position(end) - record.x);
    train_.slowdowns.push_back(record);
  }

  // Whether the cell `last` and the three before it hold the pre-warning values 1, 2, 3, 4.
  bool prewarned_from(int64_t last) {
    if (last - (kPrewarningCells - 1) < 0) return false;
    for (int64_t j = 0; j < kPrewarningCells; ++j) {
      const TrackCell& cell = at(cells_, last - j);
      if (cell.kind != kSlowdownPrewarning || cell.value_a != j + 1) return false;
    }
    for (int64_t j = 0; j < kPrewarningCells; ++j) explained_[static_cast<size_t>(last - j)] = true;
    return true;
  }

  const std::vector<TrackCell>& cells_;
  TrainDescription& train_;
  Findings& findings_;
  std::vector<bool> explained_;  // warning and pre-warning cells that a slowdown lays
};

void recover_signals(const std::vector<TrackCell>& cells, TrainDescription& train, Findings& findings) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].kind != kSignal) continue;
    const int64_t c = static_cast<int64_t>(i);
    if (c < kFarthestApproachCell) {
      findings.add(cell_place(c), "a signal whose approach cells would lie before cell 0");
      continue;
    }
    // The farthest approach cell holds the signal's own code unless a signal or a station's board
    // written after it took the cell; then a nearer one of its approach cells may still hold it.
    SignalRecord record;
    bool consistent = false;
    // The side code the values give is tried on every approach cell before one only a code names.
    for (const bool other_sides : {false, true}) {
      for (int64_t step = kFarthestApproachStep; step >= 1 && !consistent; --step) {
        const uint8_t code = at(cells, c - kApproachSpacing * step).approach_code;
        consistent = unpack_signal(cells[i], code, &record, step, other_sides);
      }
    }
    if (!consistent) {
      unpack_signal(cells[i], at(cells, c - kFarthestApproachCell).approach_code, &record);
      findings.add(cell_place(c - kFarthestApproachCell),
                   "an approach code that names no side code the signal 8 cells after it holds");
    }
    record.posizione = marker_position(c);
    train.signals.push_back(record);
  }
}

void recover_cut_off_points(const std::vector<TrackCell>& cells, TrainDescription& train) {
  for (size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& cell = cells[i];
    const bool recorded =
        cell.kind == kCutOffPointZero || (cell.kind == kCutOffPoint && cell.value_a != kCutOffPointValue);
    if (recorded) train.cut_off_points.push_back(cut_off_record(static_cast<int64_t>(i), cell));
  }
}

void report_unknown_kinds(const std::vector<TrackCell>& cells, Findings& findings) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cell_kind_name(cells[i].kind)[0] == '\0') {
      findings.add(cell_place(static_cast<int64_t>(i)),
                   "kind " + to_string(cells[i].kind) + ", which no record and no rule of the compile lays");
    }
  }
}

}  // namespace

PositionValue cut_off_record(int64_t index, const TrackCell& cell) {
  // A value above 0 is stored in 16 bits; a stored value of 0 or less needs 65536 more to be above 0.
  int32_t value = 0;
  if (cell.kind == kCutOffPoint) value = cell.value_a > 0 ? cell.value_a : int32_t{cell.value_a} + 0x10000;
  return PositionValue{fill_position(index), value};
}

TrainDescription recover_train(const ScenarioModel& files, Findings& findings) {
  TrainDescription train;
  recover_general(files.station_table, train);
  recover_stretches(files.cells, train);
  recover_stations(files, train, findings);
  SlowdownCells(files.cells, train, findings).run();
  recover_signals(files.cells, train, findings);
  order_signals(files, train, findings);
  recover_cut_off_points(files.cells, train);
  report_unknown_kinds(files.cells, findings);
  return train;
}

}  // namespace scenario
