#include "format/binary_outputs.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "format/binary_layout.h"
#include "format/coding.h"

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

char* store_cell(char* p, const TrackCell& cell) {
  encode_u8(p + layout::kCellKind, cell.kind);
  encode_i16(p + layout::kCellValueA, cell.value_a);
  encode_i16(p + layout::kCellValueB, cell.value_b);
  encode_i16(p + layout::kCellValueC, cell.value_c);
  encode_i16(p + layout::kCellValueD, cell.value_d);
  encode_u8(p + layout::kCellSignalTime, cell.signal_time);
  encode_u8(p + layout::kCellApproachCode, cell.approach_code);
  encode_u8(p + layout::kCellMontagnaTipo, cell.montagna_tipo);
  encode_u8(p + layout::kCellSpeedLimit, cell.speed_limit);
  encode_u8(p + layout::kCellGradient, cell.gradient);
  encode_u8(p + layout::kCellAdhesion, cell.adhesion);
  return p + layout::kCellSize;
}

// Stores one coordinate of the walk's next `count` points as tagged doubles. A plan read back
// from a file is encoded straight from its points, eight at a time. A plan of runs gives its
// points one at a time and each is stored as it comes: the stores hide behind the recurrence,
// which bounds that loop (gathering the points into a block for the eight-at-a-time encoder was
// measured slower).
char* store_walked(char* p, const LinePlan& plan, PlanWalk& walk, int32_t count, int coordinate) {
  count = std::clamp(count, 0, plan.next_metre() - walk.next_metre());
  if (plan.holds_points()) {
    p = encode_tagged_f64s(p, layout::kTagDouble, plan.values(coordinate) + walk.next_metre(),
                           static_cast<size_t>(count));
    walk.take(count, [](PlanPoint) {});
    return p;
  }
  auto store = [&p](double value) {
    encode_tagged_f64(p, layout::kTagDouble, value);
    p += layout::kDoubleElementSize;
  };
  if (coordinate == 0) {
    walk.take(count, [&store](PlanPoint point) { store(point.x); });
  } else {
    walk.take(count, [&store](PlanPoint point) { store(point.y); });
  }
  return p;
}

static_assert(layout::kCellSize <= ByteSource::kMinChunk && layout::kDoubleElementSize <= ByteSource::kMinChunk);

}  // namespace

uint64_t TrackCellsSource::size() const { return uint64_t{cells_.size()} * layout::kCellSize; }

size_t TrackCellsSource::next_chunk(char* out, size_t capacity) {
  const size_t count = std::min(capacity / layout::kCellSize, cells_.size() - next_cell_);
  char* p = out;
  for (size_t i = next_cell_; i < next_cell_ + count; ++i) p = store_cell(p, cells_[i]);
  next_cell_ += count;
  return static_cast<size_t>(p - out);
}

uint64_t LinePlanSource::size() const {
  if (!plan_.allocated()) return 0;
  const uint64_t metres = static_cast<uint64_t>(plan_.plan_length()) + 1;
  if (!plan_.started()) return 2 * metres * layout::kEmptyElementSize;
  const uint64_t doubles = static_cast<uint64_t>(plan_.next_metre()) - 2;
  const uint64_t empties = metres - 2 - doubles;
  return 2 * (2 * layout::kInt16ElementSize + doubles * layout::kDoubleElementSize +
              empties * layout::kEmptyElementSize);
}

size_t LinePlanSource::next_chunk(char* out, size_t capacity) {
  char* p = out;
  char* const end = out + capacity;
  while (half_ < 2) {
    if (metre_ > plan_.plan_length()) {
      ++half_;
      metre_ = 0;
      continue;
    }
    const LinePlan::Element kind = plan_.element_kind(metre_);
    if (kind == LinePlan::Element::kDouble) {
      // The whole run of doubles that fits, in one tight loop.
      const int64_t room = (end - p) / static_cast<ptrdiff_t>(layout::kDoubleElementSize);
      if (room == 0) break;
      const int32_t count = static_cast<int32_t>(std::min<int64_t>(plan_.next_metre() - metre_, room));
      if (!walk_.has_value() || walk_->next_metre() != metre_) walk_.emplace(plan_);
      p = store_walked(p, plan_, *walk_, count, half_);
      metre_ += count;
    } else if (kind == LinePlan::Element::kInt16) {
      if (end - p < static_cast<ptrdiff_t>(layout::kInt16ElementSize)) break;
      const PlanPoint start = kPlanStart[static_cast<size_t>(metre_)];
      encode_u16(p, layout::kTagInt16);
      encode_i16(p + layout::kTagSize, static_cast<int16_t>(half_ == 0 ? start.x : start.y));
      p += layout::kInt16ElementSize;
      ++metre_;
    } else {
      if (end - p < static_cast<ptrdiff_t>(layout::kEmptyElementSize)) break;
      encode_u16(p, layout::kTagEmpty);
      p += layout::kEmptyElementSize;
      ++metre_;
    }
  }
  return static_cast<size_t>(p - out);
}

std::string encode_track_cells(const ScenarioModel& model) {
  TrackCellsSource source(model.cells);
  return gather(source);
}

std::string encode_scenario_record(const ScenarioModel& model) {
  std::string out;
  size_t names = 0;
  for (const StationEntry& entry : model.station_table) names += entry.name.size();
  out.reserve(layout::kEmptyScenarioRecordSize + names);
  for (const StationEntry& entry : model.station_table) put_entry(out, entry);
  return out;
}

std::string encode_line_plan(const LinePlan& plan) {
  LinePlanSource source(plan);
  return gather(source);
}

Status write_outputs(const ScenarioModel& model, const ScenarioFileNames& names, OutputSink& sink) {
  if (model.plan.allocated()) {
    LinePlanSource plan(model.plan);
    Status status = sink.stream_file(names.line_record, plan);
    if (!status.ok()) return status;
  }
  Status status = sink.write_file(names.scenario_record, encode_scenario_record(model));
  if (!status.ok()) return status;
  TrackCellsSource cells(model.cells);
  return sink.stream_file(names.track_cells, cells);
}

}  // namespace scenario
