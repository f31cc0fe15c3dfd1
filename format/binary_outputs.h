// The three binary files the simulator loads, byte for byte.
//
// All numbers little-endian, no headers, no padding.
//  - track cells (.dat): every cell 0..cell_count as a packed 15-byte record:
//      kind u8, value_a..value_d i16, signal_time, approach_code, montagna_tipo, speed_limit,
//      gradient, adhesion u8.
//  - scenario record (.sim): the 87 station-table entries, each 34 + n bytes:
//      station_type u8, area_start, area_end, position i32, option_a u8, n u16, name (n bytes,
//      code page 1252), group1_a, group1_b, group2_a, group2_b, group2_c i16, group1_c,
//      stop_value, option_c, option_b u8, time_seconds i32.
//  - line record (_linea.dat): plan(0..L, 0) then plan(0..L, 1), each element a u16 tag then its
//      value: tag 0 empty, tag 2 a 16-bit integer, tag 5 a double.
// The track cells and the line record are encoded piece by piece into the sink's buffer
// (TrackCellsSource, LinePlanSource), with direct stores, so that neither is ever held whole; the
// scenario record is a few kilobytes and is encoded whole.
#ifndef SCENARIO_FORMAT_BINARY_OUTPUTS_H_
#define SCENARIO_FORMAT_BINARY_OUTPUTS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "format/file_names.h"
#include "format/output_sink.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {

// The track cells file, cell by cell.
class TrackCellsSource : public ByteSource {
 public:
  explicit TrackCellsSource(const std::vector<TrackCell>& cells) : cells_(cells) {}
  uint64_t size() const override;
  size_t next_chunk(char* out, size_t capacity) override;

 private:
  const std::vector<TrackCell>& cells_;
  size_t next_cell_ = 0;
};

// The line record file: the x half, then the y half, metre by metre. The doubles are walked
// from the plan (PlanWalk) once for each half, straight into the buffer.
class LinePlanSource : public ByteSource {
 public:
  explicit LinePlanSource(const LinePlan& plan) : plan_(plan), half_(plan.allocated() ? 0 : 2) {}
  uint64_t size() const override;
  size_t next_chunk(char* out, size_t capacity) override;

 private:
  const LinePlan& plan_;
  int half_;           // 0 x, 1 y, 2 done
  int32_t metre_ = 0;  // the next metre of the half
  std::optional<PlanWalk> walk_;  // the doubles of the half, from metre 2
};

// Whole files, for tests and tools that keep them in memory.
std::string encode_track_cells(const ScenarioModel& model);
std::string encode_scenario_record(const ScenarioModel& model);
std::string encode_line_plan(const LinePlan& plan);

// Writes the line record (only when the model has a plan), then the scenario record, then the
// track cells; stops at the first failure.
Status write_outputs(const ScenarioModel& model, const ScenarioFileNames& names, OutputSink& sink);

}  // namespace scenario

#endif  // SCENARIO_FORMAT_BINARY_OUTPUTS_H_
