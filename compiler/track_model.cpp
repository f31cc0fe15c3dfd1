#include "compiler/track_model.h"

#include <algorithm>
#include <utility>

#include "compiler/plan_recurrence.h"

namespace scenario {

const char* cell_kind_name(uint8_t kind) {
  switch (kind) {
    case kEmpty: return "empty";
    case kSignal: return "signal";
    case kSlowdownEnd: return "slowdown_end";
    case kSlowdownStart: return "slowdown_start";
    case kSlowdownWarning: return "slowdown_warning";
    case kSlowdownPrewarning: return "slowdown_prewarning";
    case kSpeedBoard: return "speed_board";
    case kStopMarker: return "stop_marker";
    case kMontagnaMarker: return "montagna_marker";
    case kAbbattimento: return "abbattimento";
    case kAbbattimentoZero: return "abbattimento_zero";
    case kBoardText: return "board_text";
    default: return "";
  }
}

// new double[] leaves the values uninitialised: the plan stores each metre as it computes it, so
// clearing the arrays first would only write every page twice.
void LinePlan::size_arrays(int32_t plan_length) {
  const size_t metres = static_cast<size_t>(plan_length) + 1;
  x_.reset(new double[metres]);
  y_.reset(new double[metres]);
}

void LinePlan::allocate(int32_t plan_length) {
  allocated_ = true;
  started_ = false;
  plan_length_ = plan_length;
  next_metre_ = 0;
  size_arrays(plan_length);
}

LinePlan::LinePlan(const LinePlan& other) { *this = other; }

LinePlan& LinePlan::operator=(const LinePlan& other) {
  if (this == &other) return *this;
  allocated_ = other.allocated_;
  started_ = other.started_;
  plan_length_ = other.plan_length_;
  next_metre_ = other.next_metre_;
  x_.reset();
  y_.reset();
  if (allocated_) {
    size_arrays(plan_length_);
    std::copy_n(other.x_.get(), next_metre_, x_.get());
    std::copy_n(other.y_.get(), next_metre_, y_.get());
  }
  return *this;
}

void LinePlan::clear() { *this = LinePlan(); }

void LinePlan::start() {
  started_ = true;
  x_[0] = 0.0;
  y_[0] = 0.0;
  x_[1] = 0.0;
  y_[1] = 1.0;
  next_metre_ = 2;
}

void LinePlan::append(double x, double y) {
  x_[static_cast<size_t>(next_metre_)] = x;
  y_[static_cast<size_t>(next_metre_)] = y;
  ++next_metre_;
}

void LinePlan::run_to(int32_t last_metre, double c) {
  if (last_metre < next_metre_) return;
  plan_run(x_.get(), y_.get(), next_metre_, last_metre, c);
  next_metre_ = last_metre + 1;
}

LinePlan::Element LinePlan::element_kind(int32_t metre) const {
  if (!started_) return Element::kEmpty;
  if (metre < 2) return Element::kInt16;
  if (metre < next_metre_) return Element::kDouble;
  return Element::kEmpty;
}

void CompileState::record_error(ErrorNumber number, std::optional<int32_t> position, SourcePlace place,
                                std::string words) {
  error_.ErrorCode = error_code(number);
  if (position.has_value()) error_.ErrorPosition = *position;
  error_.place = std::move(place);
  error_.words = std::move(words);
}

void CompileState::clear_error() {
  error_.ErrorCode = 0;
  error_.place = SourcePlace();
  error_.words.clear();
}

void CompileState::clear_station_table() {
  for (StationEntry& entry : station_table) entry = StationEntry();
}

void CompileState::allocate_model(int32_t line_length) {
  plan_length = line_length + kCellsPastLineEnd;
  cell_count = static_cast<int32_t>(cell_count_for_length(line_length));
  cells.assign(static_cast<size_t>(cell_count) + 1, TrackCell());
  if (write_line_plan != 0) {
    plan.allocate(plan_length);
  }
}

}  // namespace scenario
