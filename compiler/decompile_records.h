// The two descriptions as records, recovered from compiled files, and what could not be recovered.
//
// A LineDescription and a TrainDescription hold one value per field of every record the compile
// reads, in the order the records are written (see decompile_writer.h for the layout). They are
// what the recovery (decompile_line.h, decompile_train.h, decompile_plan.h) fills from the cells,
// the station table and the plan, and what the writer turns into description files.
//
// Findings say what in the compiled files no description can give and where: a cell (index and
// metres), an entry of the station table, a metre of the plan. The recovery writes the closest
// description it can beside them.
#ifndef SCENARIO_COMPILER_DECOMPILE_RECORDS_H_
#define SCENARIO_COMPILER_DECOMPILE_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/header_view.h"
#include "compiler/train_features.h"

namespace scenario {

// A curve record: "curva" + side ('s' left, 'd' right) + class digit, start and length in metres.
struct CurveRecord {
  char side = 'd';
  int class_digit = 1;
  int32_t start = 0;
  int32_t length = 0;
};

// The records that hold a value from a position on: gradients, speed limits, adhesion, and the
// cut-off points (position and value).
struct PositionValue {
  int32_t position = 0;
  int32_t value = 0;
};

struct MountainRecord {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t tipo = 0;
};

// A speed indicator board: left speeds and stripes, then right speeds and stripes.
struct SpeedBoardRecord {
  int32_t posizione = 0;
  int32_t vas = 0;
  int32_t vbs = 0;
  int32_t vcs = 0;
  int32_t strisces = 0;
  int32_t vad = 0;
  int32_t vbd = 0;
  int32_t vcd = 0;
  int32_t strisced = 0;
};

struct BoardRecord {
  int32_t position = 0;
  std::string text;  // code-page-1252 bytes
};

struct LineDescription {
  int32_t length = 0;
  Progression uno;  // each as its record is written (before ordering)
  Progression due;
  Progression tre;
  int32_t sfondo_uno = 0;
  int32_t sfondo_due = 0;
  int32_t sfondo_tre = 0;
  int32_t repetition_codes = 4;  // 4 or 9: the digit in the record's keyword
  int32_t repetition_from = 0;
  int32_t repetition_to = 0;
  std::vector<CurveRecord> curves;
  std::vector<PositionValue> gradients;  // per mille
  std::vector<MountainRecord> mountains;
  std::vector<SpeedBoardRecord> speed_boards;
  std::vector<BoardRecord> boards;  // in the order that gives them their entries, 80 downward
};

// A station record's sixteen numbers and its name, in file order.
struct StationRecord {
  int32_t position = 0;
  int32_t station_type = 0;
  int32_t platform_length = 0;
  int32_t option_a = 0;
  int32_t option_b = 0;
  int32_t option_c = 0;
  int32_t group1_a = 0;
  int32_t group1_b = 0;
  int32_t group1_c = 0;
  int32_t group2_a = 0;
  int32_t group2_b = 0;
  int32_t group2_c = 0;
  int32_t stop_value = 0;
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;
  std::string name;  // code-page-1252 bytes
};

struct TrainDescription {
  int32_t cars = 0;
  int32_t braked_mass = 0;
  int32_t sand = 0;
  int32_t clock_hours = 0;
  int32_t clock_minutes = 0;
  int32_t clock_seconds = 0;
  std::vector<PositionValue> adhesion;
  std::vector<PositionValue> speed_limits;  // km/h
  std::vector<StationRecord> stations;
  std::vector<SlowdownRecord> slowdowns;
  std::vector<SignalRecord> signals;
  std::vector<PositionValue> cut_off_points;
};

struct Finding {
  std::string place;  // "cell 57 (2800 m)", "entry 3", "metre 1234", or a file's name
  std::string words;  // what no description can give there
};

// The findings of one decompile. Keeps the first kMaxKept and counts all of them, so that a file
// full of garbage cannot flood the report.
class Findings {
 public:
  static constexpr size_t kMaxKept = 100;

  void add(std::string place, std::string words);
  const std::vector<Finding>& kept() const { return kept_; }
  size_t count() const { return count_; }
  bool empty() const { return count_ == 0; }

 private:
  std::vector<Finding> kept_;
  size_t count_ = 0;
};

// Places, as findings name them.
std::string cell_place(int64_t cell);    // "cell 57 (2800 m)": the cell and its reference point
std::string entry_place(int64_t entry);  // "entry 3"
std::string metre_place(int64_t metre);  // "metre 1234"

}  // namespace scenario

#endif  // SCENARIO_COMPILER_DECOMPILE_RECORDS_H_
