// The description records: one struct per record kind, one value per field, in file order.
//
// A LineDescription and a TrainDescription hold every record the compile reads, in the order the
// records are written (see description_writer.h for the layout). The placers take single records;
// the decompile fills whole descriptions from the cells, the station table and the plan; the
// writer turns them into description files; the test generator and the benchmarks build them.
#ifndef SCENARIO_DESCRIPTION_DESCRIPTION_RECORDS_H_
#define SCENARIO_DESCRIPTION_DESCRIPTION_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/cell_values.h"
#include "model/header_view.h"

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

// The six values of a "rallentamento" record, in file order.
struct SlowdownRecord {
  int32_t x = 0;     // start position, metres
  int32_t v = 0;     // speed, km/h
  int32_t l = 0;     // length, metres
  int32_t f_tt = 0;  // stored with the start and end markers
  int32_t f_ta = 0;  // nonzero: four pre-warning cells before the warning board
  int32_t d_v = 0;   // stored with the markers when nonzero
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
  // The first this many signals are written before the stations (where a station's approach
  // boards were laid over their approach cells); the others after the slowdowns, as usual.
  size_t signals_before_stations = 0;
  std::vector<PositionValue> cut_off_points;
};

}  // namespace scenario

#endif  // SCENARIO_DESCRIPTION_DESCRIPTION_RECORDS_H_
