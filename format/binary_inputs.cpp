#include "format/binary_inputs.h"

#include <cstdint>

#include "format/binary_layout.h"
#include "format/coding.h"
#include "model/header_view.h"

namespace scenario {
namespace {

using std::to_string;

const unsigned char* bytes_at(std::string_view bytes, size_t offset) {
  return reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
}

std::string byte_count_text(size_t count) { return to_string(count) + (count == 1 ? " byte" : " bytes"); }

TrackCell decode_cell(const unsigned char* p) {
  using namespace layout;
  TrackCell cell;
  cell.kind = get_u8(p + kCellKind);
  cell.value_a = get_i16(p + kCellValueA);
  cell.value_b = get_i16(p + kCellValueB);
  cell.value_c = get_i16(p + kCellValueC);
  cell.value_d = get_i16(p + kCellValueD);
  cell.signal_time = get_u8(p + kCellSignalTime);
  cell.approach_code = get_u8(p + kCellApproachCode);
  cell.montagna_tipo = get_u8(p + kCellMontagnaTipo);
  cell.speed_limit = get_u8(p + kCellSpeedLimit);
  cell.gradient = get_u8(p + kCellGradient);
  cell.adhesion = get_u8(p + kCellAdhesion);
  return cell;
}

// One element of the line record as found on disk.
struct PlanElement {
  LinePlan::Element kind = LinePlan::Element::kEmpty;
  double value = 0.0;
  size_t offset = 0;  // where its tag starts
};

const char* element_words(LinePlan::Element kind) {
  switch (kind) {
    case LinePlan::Element::kEmpty: return "empty (tag 0)";
    case LinePlan::Element::kInt16: return "a 16-bit integer (tag 2)";
    case LinePlan::Element::kDouble: return "a double (tag 5)";
  }
  return "";
}

// Reads every element of a line record into `elements`, checking only that each is whole.
Status read_plan_elements(std::string_view bytes, std::vector<PlanElement>* elements) {
  using namespace layout;
  constexpr size_t kMaxElements = 2 * (static_cast<size_t>(kMaxDecodedPlanLength) + 1);
  size_t offset = 0;
  while (offset < bytes.size()) {
    const size_t index = elements->size();
    if (index == kMaxElements) {
      return Status::Corruption(offset, "more than " + to_string(kMaxElements) +
                                               " elements: longer than the plan of the longest line (" +
                                               to_string(kMaxDecodedPlanLength) + " m)");
    }
    const size_t left = bytes.size() - offset;
    if (left < kTagSize) {
      return Status::Corruption(offset, "element " + to_string(index) + " is cut short: its tag needs " +
                                               byte_count_text(kTagSize) + ", " + byte_count_text(left) +
                                               " left");
    }
    PlanElement element;
    element.offset = offset;
    const uint16_t tag = get_u16(bytes_at(bytes, offset));
    size_t size = 0;
    if (tag == kTagEmpty) {
      element.kind = LinePlan::Element::kEmpty;
      size = kEmptyElementSize;
    } else if (tag == kTagInt16) {
      element.kind = LinePlan::Element::kInt16;
      size = kInt16ElementSize;
    } else if (tag == kTagDouble) {
      element.kind = LinePlan::Element::kDouble;
      size = kDoubleElementSize;
    } else {
      return Status::Corruption(offset, "element " + to_string(index) + " has the unknown tag " +
                                               to_string(tag) + " (known: 0 empty, 2 integer, 5 double)");
    }
    if (left < size) {
      return Status::Corruption(offset, "element " + to_string(index) + " (" + element_words(element.kind) +
                                               ") runs past the end of the file: it needs " +
                                               byte_count_text(size) + ", " + byte_count_text(left) + " left");
    }
    if (element.kind == LinePlan::Element::kInt16) {
      element.value = get_i16(bytes_at(bytes, offset + kTagSize));
    } else if (element.kind == LinePlan::Element::kDouble) {
      element.value = get_f64(bytes_at(bytes, offset + kTagSize));
    }
    elements->push_back(element);
    offset += size;
  }
  return Status::Ok();
}

// The shape one half must have, given whether the plan was started: the element kind at `metre`.
LinePlan::Element expected_kind(bool started, int32_t metre, int32_t next_metre) {
  if (!started) return LinePlan::Element::kEmpty;
  if (metre < 2) return LinePlan::Element::kInt16;
  if (metre < next_metre) return LinePlan::Element::kDouble;
  return LinePlan::Element::kEmpty;
}

}  // namespace

Status decode_track_cells(std::string_view bytes, std::vector<TrackCell>* cells) {
  using layout::kCellSize;
  cells->clear();
  if (bytes.empty()) return Status::Corruption(0, "the file is empty: a track cells file holds at least one cell");
  const size_t whole = bytes.size() / kCellSize;
  const size_t rest = bytes.size() % kCellSize;
  if (rest != 0) {
    return Status::Corruption(whole * kCellSize, "cell " + to_string(whole) + " is cut short: " +
                                                        byte_count_text(rest) + " of its " +
                                                        byte_count_text(kCellSize) + " (file length " +
                                                        to_string(bytes.size()) + " is not a multiple of " +
                                                        to_string(kCellSize) + ")");
  }
  if (whole > kMaxDecodedCells) {
    return Status::Corruption(kMaxDecodedCells * kCellSize,
                                 to_string(whole) + " cells, more than the " + to_string(kMaxDecodedCells) +
                                     " of the longest line");
  }
  cells->reserve(whole);
  for (size_t i = 0; i < whole; ++i) cells->push_back(decode_cell(bytes_at(bytes, i * kCellSize)));
  return Status::Ok();
}

Status decode_scenario_record(std::string_view bytes, ScenarioRecord* record) {
  using namespace layout;
  *record = ScenarioRecord();
  size_t offset = 0;
  for (int index = 0; index < kStationEntryCount; ++index) {
    const std::string entry_words = "entry " + to_string(index);
    const size_t left = bytes.size() - offset;
    if (left < kEntryHeadSize) {
      *record = ScenarioRecord();
      return Status::Corruption(offset, entry_words + " is cut short: the part before its name needs " +
                                               byte_count_text(kEntryHeadSize) + ", " + byte_count_text(left) +
                                               " left");
    }
    const unsigned char* head = bytes_at(bytes, offset);
    const size_t name_length = get_u16(head + kEntryNameLength);
    if (left - kEntryHeadSize < name_length + kEntryTailSize) {
      *record = ScenarioRecord();
      return Status::Corruption(offset, entry_words + " runs past the end of the file: with its " +
                                               to_string(name_length) + "-byte name it needs " +
                                               byte_count_text(kEntryFixedSize + name_length) + ", " +
                                               byte_count_text(left) + " left");
    }
    StationEntry& entry = (*record)[static_cast<size_t>(index)];
    entry.station_type = get_u8(head + kEntryStationType);
    entry.area_start = get_i32(head + kEntryAreaStart);
    entry.area_end = get_i32(head + kEntryAreaEnd);
    entry.position = get_i32(head + kEntryPosition);
    entry.option_a = get_u8(head + kEntryOptionA);
    entry.name.assign(bytes.substr(offset + kEntryName, name_length));
    const unsigned char* tail = head + kEntryName + name_length;
    entry.group1_a = get_i16(tail + kEntryGroup1A);
    entry.group1_b = get_i16(tail + kEntryGroup1B);
    entry.group2_a = get_i16(tail + kEntryGroup2A);
    entry.group2_b = get_i16(tail + kEntryGroup2B);
    entry.group2_c = get_i16(tail + kEntryGroup2C);
    entry.group1_c = get_u8(tail + kEntryGroup1C);
    entry.stop_value = get_u8(tail + kEntryStopValue);
    entry.option_c = get_u8(tail + kEntryOptionC);
    entry.option_b = get_u8(tail + kEntryOptionB);
    entry.time_seconds = get_i32(tail + kEntryTimeSeconds);
    offset += kEntryFixedSize + name_length;
  }
  if (offset != bytes.size()) {
    *record = ScenarioRecord();
    return Status::Corruption(offset, byte_count_text(bytes.size() - offset) + " after the last entry (" +
                                             to_string(kStationEntryCount - 1) +
                                             "): a scenario record holds exactly " +
                                             to_string(kStationEntryCount) + " entries");
  }
  return Status::Ok();
}

Status decode_line_plan(std::string_view bytes, LinePlan* plan) {
  plan->clear();
  if (bytes.empty()) return Status::Ok();  // a plan that was never sized
  std::vector<PlanElement> elements;
  Status read = read_plan_elements(bytes, &elements);
  if (!read.ok()) return read;
  if (elements.size() % 2 != 0) {
    return Status::Corruption(bytes.size(), to_string(elements.size()) +
                                                   " elements, an odd number: the x and y halves of a plan "
                                                   "have one element per metre each");
  }
  const size_t half = elements.size() / 2;
  const int32_t plan_length = static_cast<int32_t>(half - 1);
  const PlanElement* xs = elements.data();
  const PlanElement* ys = elements.data() + half;

  // The x half decides whether the plan was started and how far it was computed.
  const bool started = xs[0].kind != LinePlan::Element::kEmpty;
  int32_t next_metre = 0;
  if (started) {
    next_metre = 2;
    while (next_metre <= plan_length && xs[next_metre].kind == LinePlan::Element::kDouble) ++next_metre;
  }
  for (int pass = 0; pass < 2; ++pass) {
    const PlanElement* elements_of_half = pass == 0 ? xs : ys;
    const char* coordinate = pass == 0 ? "x" : "y";
    for (int32_t metre = 0; metre <= plan_length; ++metre) {
      const PlanElement& element = elements_of_half[metre];
      const LinePlan::Element expected = expected_kind(started, metre, next_metre);
      if (element.kind != expected) {
        std::string reason = std::string(coordinate) + " of metre " + to_string(metre) + " is " +
                             element_words(element.kind) + " where the plan";
        if (!started) {
          reason += ", whose x of metre 0 is empty, holds only empty elements";
        } else if (metre < 2) {
          reason += " starts with 16-bit integers at metres 0 and 1";
        } else {
          const std::string doubles = next_metre > 2 ? "doubles from metre 2 to " + to_string(next_metre - 1)
                                                     : std::string("no doubles");
          reason += " holds " + std::string(element_words(expected)) + " (" + doubles +
                    ", then empty elements to metre " + to_string(plan_length) + ")";
        }
        return Status::Corruption(element.offset, reason);
      }
    }
    if (started && plan_length < 1) {
      return Status::Corruption(bytes.size(), "a started plan needs metres 0 and 1, this one ends at metre 0");
    }
  }
  if (started) {
    // The model's starting points are fixed: (0, 0) at metre 0 and (0, 1) at metre 1.
    for (int32_t metre = 0; metre < 2; ++metre) {
      const PlanPoint start = kPlanStart[static_cast<size_t>(metre)];
      if (xs[metre].value != start.x || ys[metre].value != start.y) {
        const bool x_wrong = xs[metre].value != start.x;
        const PlanElement& wrong = x_wrong ? xs[metre] : ys[metre];
        return Status::Corruption(wrong.offset, std::string(x_wrong ? "x" : "y") + " of metre " +
                                                       to_string(metre) + " is " +
                                                       to_string(static_cast<int>(wrong.value)) +
                                                       ": a plan starts at (0, 0) and (0, 1)");
      }
    }
  }

  plan->allocate(plan_length);
  if (started) {
    plan->start();
    for (int32_t metre = 2; metre < next_metre; ++metre) plan->append(xs[metre].value, ys[metre].value);
  }
  return Status::Ok();
}

void adopt_decoded(std::vector<TrackCell> cells, const ScenarioRecord& record, LinePlan plan, ScenarioModel* model) {
  model->cells = std::move(cells);
  model->cell_count = model->cells.empty() ? 0 : static_cast<int32_t>(model->cells.size() - 1);
  model->station_table = record;
  const HeaderView header(record);
  model->line_name = header.line_name();
  model->train_number = header.train_number();
  model->plan_length = plan.allocated() ? plan.plan_length() : 0;
  model->plan = std::move(plan);
}

}  // namespace scenario
