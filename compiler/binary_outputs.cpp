#include "compiler/binary_outputs.h"

#include <algorithm>
#include <limits>

#include "compiler/binary_layout.h"
#include "compiler/coding.h"

namespace scenario {
namespace {

// A name longer than its 16-bit byte count can say is written cut to that many bytes, so that
// the count and the bytes after it always agree.
void put_name(std::string& out, const std::string& name) {
  const size_t length = std::min<size_t>(name.size(), std::numeric_limits<uint16_t>::max());
  put_u16(out, static_cast<uint16_t>(length));
  out.append(name, 0, length);
}

void put_entry(std::string& out, const StationEntry& entry) {
  put_u8(out, entry.station_type);
  put_i32(out, entry.area_start);
  put_i32(out, entry.area_end);
  put_i32(out, entry.position);
  put_u8(out, entry.option_a);
  put_name(out, entry.name);
  put_i16(out, entry.group1_a);
  put_i16(out, entry.group1_b);
  put_i16(out, entry.group2_a);
  put_i16(out, entry.group2_b);
  put_i16(out, entry.group2_c);
  put_u8(out, entry.group1_c);
  put_u8(out, entry.stop_value);
  put_u8(out, entry.option_c);
  put_u8(out, entry.option_b);
  put_i32(out, entry.time_seconds);
}

void put_cell(std::string& out, const TrackCell& cell) {
  put_u8(out, cell.kind);
  put_i16(out, cell.value_a);
  put_i16(out, cell.value_b);
  put_i16(out, cell.value_c);
  put_i16(out, cell.value_d);
  put_u8(out, cell.signal_time);
  put_u8(out, cell.approach_code);
  put_u8(out, cell.montagna_tipo);
  put_u8(out, cell.speed_limit);
  put_u8(out, cell.gradient);
  put_u8(out, cell.adhesion);
}

void put_plan_half(std::string& out, const LinePlan& plan, int coordinate) {
  for (int32_t metre = 0; metre <= plan.plan_length(); ++metre) {
    const double value = coordinate == 0 ? plan.x(metre) : plan.y(metre);
    switch (plan.element_kind(metre)) {
      case LinePlan::Element::kEmpty:
        put_u16(out, layout::kTagEmpty);
        break;
      case LinePlan::Element::kInt16:
        put_u16(out, layout::kTagInt16);
        put_i16(out, static_cast<int16_t>(value));  // the starting points 0 and 1
        break;
      case LinePlan::Element::kDouble:
        put_u16(out, layout::kTagDouble);
        put_f64(out, value);
        break;
    }
  }
}

}  // namespace

std::string encode_track_cells(const CompileState& state) {
  std::string out;
  out.reserve(state.cells.size() * layout::kCellSize);
  for (const TrackCell& cell : state.cells) put_cell(out, cell);
  return out;
}

std::string encode_scenario_record(const CompileState& state) {
  std::string out;
  size_t names = 0;
  for (const StationEntry& entry : state.station_table) names += entry.name.size();
  out.reserve(layout::kEmptyScenarioRecordSize + names);
  for (const StationEntry& entry : state.station_table) put_entry(out, entry);
  return out;
}

std::string encode_line_plan(const LinePlan& plan) {
  std::string out;
  if (!plan.allocated()) return out;
  const size_t elements = static_cast<size_t>(plan.plan_length()) + 1;
  out.reserve(2 * elements * layout::kDoubleElementSize);
  put_plan_half(out, plan, 0);
  put_plan_half(out, plan, 1);
  return out;
}

Status write_outputs(const CompileState& state, const ScenarioFileNames& names, OutputSink& sink) {
  if (state.write_line_plan != 0) {
    Status status = sink.write_file(names.line_record, encode_line_plan(state.plan));
    if (!status.ok()) return status;
  }
  Status status = sink.write_file(names.scenario_record, encode_scenario_record(state));
  if (!status.ok()) return status;
  return sink.write_file(names.track_cells, encode_track_cells(state));
}

}  // namespace scenario
