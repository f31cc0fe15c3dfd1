// The track model and scenario record: everything one compile fills, in one object.
//
// The line is cut into cells of CELL_LENGTH (50) metres, indices 0 to cell_count, where
// cell_count = near((line length + 7000) / 50); cell i has its reference point at 50 * (i - 1)
// metres, so cell 0 lies before the line's start. Each TrackCell holds at most one placed feature
// (kind and value_a..value_d) plus the values of its stretch of track (mountain type, speed limit,
// gradient, adhesion). The station table (ScenarioRecord, 87 StationEntry records) holds the
// stations from index 1 upward, the line-side board texts from 80 downward and the scenario header
// in 81 to 86. The plan holds the track's x and y coordinates metre by metre.
//
// Texts held here (station names, board texts, the two names) are code-page-1252 bytes, exactly
// as they are read from the descriptions and written to the files.
#ifndef SCENARIO_MODEL_TRACK_MODEL_H_
#define SCENARIO_MODEL_TRACK_MODEL_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/compile_error.h"
#include "model/plan_recurrence.h"
#include "model/rounding.h"

namespace scenario {

// Cell kind codes (TrackCell::kind). 7, 8 and 9 are not used. Their names in dumps and pages keep
// the format's words (cell_kind_name: "abbattimento" for a cut-off point, "montagna_marker").
enum CellKind : uint8_t {
  kEmpty = 0,
  kSignal = 1,
  kSlowdownEnd = 2,
  kSlowdownStart = 3,
  kSlowdownWarning = 4,
  kSlowdownPrewarning = 5,
  kSpeedBoard = 6,
  kStopMarker = 10,
  kMountainMarker = 11,  // counts as free: any feature may cover it
  kCutOffPoint = 12,
  kCutOffPointZero = 13,
  kBoardText = 14,
};

// The name of a cell kind ("signal", "slowdown_start", ...), or "" for an unused code.
const char* cell_kind_name(uint8_t kind);

struct TrackCell {
  uint8_t kind = 0;
  int16_t value_a = 0;
  int16_t value_b = 0;
  int16_t value_c = 0;
  int16_t value_d = 0;
  uint8_t signal_time = 0;
  uint8_t approach_code = 0;
  uint8_t montagna_tipo = 0;
  uint8_t speed_limit = 0;  // km/h divided by 5
  uint8_t gradient = 0;     // per mille plus 100
  uint8_t adhesion = 0;

  bool operator==(const TrackCell&) const = default;
};

// A cell is free when nothing is placed on it, or only a montagna_marker.
inline bool is_free(const TrackCell& cell) { return cell.kind == kEmpty || cell.kind == kMountainMarker; }

struct StationEntry {
  uint8_t station_type = 0;
  int32_t area_start = 0;
  int32_t area_end = 0;
  int32_t position = 0;
  uint8_t option_a = 0;
  std::string name;  // code-page-1252 bytes
  int16_t group1_a = 0;
  int16_t group1_b = 0;
  int16_t group2_a = 0;
  int16_t group2_b = 0;
  int16_t group2_c = 0;
  uint8_t group1_c = 0;
  uint8_t stop_value = 0;
  uint8_t option_c = 0;
  uint8_t option_b = 0;
  int32_t time_seconds = 0;

  bool operator==(const StationEntry&) const = default;
};

// The station table: 87 entries, indices 0 to 86.
inline constexpr int kStationEntryCount = 87;
using ScenarioRecord = std::array<StationEntry, kStationEntryCount>;

// Fixed places in the station table.
inline constexpr int kFirstBoardSlot = 80;       // line-side boards take 80, 79, 78 ...
inline constexpr int kLowestBoardSlot = 1;       // ... down to 1 at most: entry 0 is no board's
inline constexpr int kEntryProgressionTre = 81;  // kilometric progressions after ordering
inline constexpr int kEntryProgressionDue = 82;
inline constexpr int kEntryProgressionUno = 83;
inline constexpr int kEntryTrain = 84;           // braked mass %, line length, number of cars
inline constexpr int kEntryLine = 85;            // backgrounds, line name, 610, second check code
inline constexpr int kEntryRepetition = 86;      // signal repetition, train number, sand, clock

// The plan of the line, two coordinates per metre 0 to plan_length.
//
// Its elements are of three kinds only, decided by how far it has been built: nothing yet
// (empty), the two integer starting metres 0 and 1, or a double for each metre computed after
// them. A plan is held in one of two ways, and reads the same either way:
//  - as runs (a compiled plan): the last metre and curvature of each stretch the line asked for
//    (run_to). The points are not kept: the plan recurrence gives them again, bit for bit, to
//    whoever walks the plan (PlanWalk), so a plan of a million metres takes a few kilobytes;
//  - as points (a plan read back from a line record): two arrays, filled by append.
// x(m) and y(m) read single metres of either; on a plan of runs the first such read computes and
// keeps all its points, so sequential readers should walk the plan instead.
class LinePlan {
 public:
  enum class Element { kEmpty, kInt16, kDouble };
  // Metres up to last_metre turned by the heading change per metre `curvature`.
  struct Run {
    int32_t last_metre;
    double curvature;
  };

  LinePlan() = default;
  LinePlan(const LinePlan& other);
  LinePlan& operator=(const LinePlan& other);
  LinePlan(LinePlan&&) noexcept = default;
  LinePlan& operator=(LinePlan&&) noexcept = default;

  // Sizes the plan for metres 0 to plan_length, all empty.
  void allocate(int32_t plan_length);
  void clear();
  bool allocated() const { return allocated_; }
  int32_t plan_length() const { return plan_length_; }

  // Stores the integer starting points (0, 0) and (0, 1) at metres 0 and 1; next_metre becomes 2.
  void start();
  bool started() const { return started_; }

  // The next metre to compute (2 after start()); metres below it hold values.
  int32_t next_metre() const { return next_metre_; }
  // Stores the point of metre next_metre() and advances; the caller keeps next_metre() <= plan_length().
  void append(double x, double y);
  // Computes metres next_metre() to last_metre by the plan recurrence with curvature c and
  // advances past them; the caller keeps 2 <= next_metre() and last_metre <= plan_length().
  void run_to(int32_t last_metre, double c);

  Element element_kind(int32_t metre) const;
  double x(int32_t metre) const { return metre < next_metre_ ? points_x()[static_cast<size_t>(metre)] : 0.0; }
  double y(int32_t metre) const { return metre < next_metre_ ? points_y()[static_cast<size_t>(metre)] : 0.0; }

  // Whether the plan is held as points (append, or a first x()/y() of a plan of runs).
  bool holds_points() const { return x_ != nullptr; }
  // A plan of runs: its runs from metre 2, in order, each starting after the one before.
  const std::vector<Run>& runs() const { return runs_; }
  // A plan of points: the values of metres 0 to next_metre() - 1, x (coordinate 0) or y (1).
  const double* values(int coordinate) const { return coordinate == 0 ? x_.get() : y_.get(); }

 private:
  const double* points_x() const;
  const double* points_y() const;
  // Computes the points of the runs into new arrays (the arrays are mutable: a cache of the runs).
  void compute_points() const;

  bool allocated_ = false;
  bool started_ = false;
  int32_t plan_length_ = 0;
  int32_t next_metre_ = 0;
  std::vector<Run> runs_;
  mutable std::unique_ptr<double[]> x_;
  mutable std::unique_ptr<double[]> y_;
};

// The points of a plan from metre 2 on, in metre order, whichever way the plan holds them.
class PlanWalk {
 public:
  explicit PlanWalk(const LinePlan& plan);
  // The metre whose point `take` gives next.
  int32_t next_metre() const { return metre_; }
  // Hands the points of the next `count` metres (at most next_metre() to plan.next_metre() - 1)
  // to emit(PlanPoint), in order.
  template <class Emit>
  void take(int32_t count, Emit&& emit);

 private:
  const LinePlan& plan_;
  int32_t metre_ = 2;
  size_t run_ = 0;
  PlanPoint before_ = kPlanStart[0];
  PlanPoint last_ = kPlanStart[1];
};

template <class Emit>
void PlanWalk::take(int32_t count, Emit&& emit) {
  count = std::clamp(count, 0, plan_.next_metre() - metre_);
  if (plan_.holds_points()) {
    const double* x = plan_.values(0);
    const double* y = plan_.values(1);
    const int32_t end = metre_ + count;  // a local: emit's stores may alias the members
    for (int32_t m = metre_; m < end; ++m) emit(PlanPoint{x[m], y[m]});
    metre_ += count;
    return;
  }
  const std::vector<LinePlan::Run>& runs = plan_.runs();
  while (count > 0 && run_ < runs.size()) {
    const int32_t n = std::min(count, runs[run_].last_metre - metre_ + 1);
    plan_walk(before_, last_, n, runs[run_].curvature, emit);
    metre_ += n;
    count -= n;
    if (metre_ > runs[run_].last_metre) ++run_;
  }
}

// The scenario as its three files hold it: the cells, the station table and the plan, with the two
// names it goes by. Encoders, decoders, dump, render and decompile see this and nothing else; a
// compile fills one (CompileState).
struct ScenarioModel {
  // Names, set by start-up (or by the tool's options); code-page-1252 bytes.
  std::string line_name;
  std::string train_number;

  int32_t plan_length = 0;       // line length + 7000
  int32_t cell_count = 0;        // highest cell index

  std::vector<TrackCell> cells;  // indices 0 to cell_count once the line length is read
  ScenarioRecord station_table;  // the scenario record
  LinePlan plan;                 // allocated only when the line record is built

  bool has_cells() const { return !cells.empty(); }

  // Clears the station table: every number 0, every name empty.
  void clear_station_table();
  // Creates the cell array for a line of the given length (all zero), and the plan when asked.
  void allocate(int32_t line_length, bool with_plan);
};

// One compile's state: the model it fills, whether it builds the plan, the placers' cursors over
// the model, and the compile-error record.
struct CompileState : ScenarioModel {
  int32_t write_line_plan = 0;   // nonzero: build the plan and write the line record

  // Mountain stretches placed so far, and the end of the last one.
  int32_t montagna_count = 0;
  int32_t montagna_previous_end = 0;

  // Next station-table entry for a line-side board; the train phase's station limit.
  int32_t board_slot = kFirstBoardSlot;

  // The records that first gave cell 1 a first and a second value, which the header needs: the
  // places a fatal report names (none when nothing, or post-processing, took the slot).
  SourcePlace header_value_a_from;
  SourcePlace header_value_b_from;

  // Lays a feature on cell `index` by setting its kind. When `note_layers` is set (a check), the
  // record being read (`record_place`) is kept as the one that laid it, so that a later record
  // refused on that cell can say what took it and where that was written.
  void lay(int64_t index, uint8_t kind);
  bool note_layers = false;
  SourcePlace record_place;
  const SourcePlace* layer_of(int64_t index) const;

  // The compile-error record: ErrorCode (0 = none), ErrorPosition, the record's place and words.
  const ErrorRecord& error() const { return error_; }
  // Records an error, replacing the record whole: the number, the position when the error has one
  // (ErrorPosition keeps its value otherwise), the place of the record that caused it (none when
  // not given) and more words. The one writer of the error record.
  void record_error(ErrorNumber number, std::optional<int32_t> position = std::nullopt, SourcePlace place = {},
                    std::string words = {});
  // No error: ErrorCode 0, no place, no words. ErrorPosition keeps its value, which means nothing
  // without an error.
  void clear_error();

  // Creates the cell array for a line of the given length, and the plan when the compile builds it.
  void allocate_model(int32_t line_length) { allocate(line_length, write_line_plan != 0); }

 private:
  ErrorRecord error_;
  std::unordered_map<int64_t, SourcePlace> layers_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_TRACK_MODEL_H_
