#include "model/track_model.h"

#include <algorithm>
#include <utility>

#include "model/plan_recurrence.h"

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
    case kMountainMarker: return "montagna_marker";
    case kCutOffPoint: return "abbattimento";
    case kCutOffPointZero: return "abbattimento_zero";
    case kBoardText: return "board_text";
    default: return "";
  }
}

namespace {

// new double[] leaves the values uninitialised: every metre below next_metre is stored before it
// is read, so clearing the arrays first would only write every page twice.
void size_arrays(int32_t plan_length, std::unique_ptr<double[]>& x, std::unique_ptr<double[]>& y) {
  const size_t metres = static_cast<size_t>(plan_length) + 1;
  x.reset(new double[metres]);
  y.reset(new double[metres]);
}

}  // namespace

void LinePlan::allocate(int32_t plan_length) {
  *this = LinePlan();
  allocated_ = true;
  plan_length_ = plan_length;
}

LinePlan::LinePlan(const LinePlan& other) { *this = other; }

LinePlan& LinePlan::operator=(const LinePlan& other) {
  if (this == &other) return *this;
  allocated_ = other.allocated_;
  started_ = other.started_;
  plan_length_ = other.plan_length_;
  next_metre_ = other.next_metre_;
  runs_ = other.runs_;
  x_.reset();
  y_.reset();
  // A plan of runs copies its runs; its points, if computed, are only a cache.
  if (other.holds_points() && other.runs_.empty()) {
    size_arrays(plan_length_, x_, y_);
    std::copy_n(other.x_.get(), next_metre_, x_.get());
    std::copy_n(other.y_.get(), next_metre_, y_.get());
  }
  return *this;
}

void LinePlan::clear() { *this = LinePlan(); }

void LinePlan::start() {
  started_ = true;
  next_metre_ = 2;
  runs_.clear();
  x_.reset();
  y_.reset();
}

void LinePlan::compute_points() const {
  // Filled aside and kept only once complete: the walk reads this plan as runs until then.
  std::unique_ptr<double[]> x;
  std::unique_ptr<double[]> y;
  size_arrays(plan_length_, x, y);
  if (started_) {
    for (size_t m = 0; m < kPlanStart.size(); ++m) {
      x[m] = kPlanStart[m].x;
      y[m] = kPlanStart[m].y;
    }
    size_t m = kPlanStart.size();
    PlanWalk walk(*this);
    walk.take(next_metre_ - 2, [&](PlanPoint point) {
      x[m] = point.x;
      y[m] = point.y;
      ++m;
    });
  }
  x_ = std::move(x);
  y_ = std::move(y);
}

const double* LinePlan::points_x() const {
  if (!holds_points()) compute_points();
  return x_.get();
}

const double* LinePlan::points_y() const {
  if (!holds_points()) compute_points();
  return y_.get();
}

// A plan of points grows by points; a plan of runs that is given a point becomes a plan of points.
void LinePlan::append(double x, double y) {
  if (!holds_points()) compute_points();
  runs_.clear();
  x_[static_cast<size_t>(next_metre_)] = x;
  y_[static_cast<size_t>(next_metre_)] = y;
  ++next_metre_;
}

void LinePlan::run_to(int32_t last_metre, double c) {
  if (last_metre < next_metre_) return;
  if (holds_points() && runs_.empty()) {
    plan_run(x_.get(), y_.get(), next_metre_, last_metre, c);
  } else {
    runs_.push_back({last_metre, c});
    x_.reset();  // computed points, if any, no longer cover the plan
    y_.reset();
  }
  next_metre_ = last_metre + 1;
}

LinePlan::Element LinePlan::element_kind(int32_t metre) const {
  if (!started_) return Element::kEmpty;
  if (metre < 2) return Element::kInt16;
  if (metre < next_metre_) return Element::kDouble;
  return Element::kEmpty;
}

PlanWalk::PlanWalk(const LinePlan& plan) : plan_(plan) {}

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

void ScenarioModel::clear_station_table() {
  for (StationEntry& entry : station_table) entry = StationEntry();
}

void ScenarioModel::allocate(int32_t line_length, bool with_plan) {
  plan_length = line_length + kCellsPastLineEnd;
  cell_count = static_cast<int32_t>(cell_count_for_length(line_length));
  cells.assign(static_cast<size_t>(cell_count) + 1, TrackCell());
  if (with_plan) plan.allocate(plan_length);
}

void CompileState::lay(int64_t index, uint8_t kind) {
  cells[static_cast<size_t>(index)].kind = kind;
  if (note_layers) layers_[index] = record_place;
}

const SourcePlace* CompileState::layer_of(int64_t index) const {
  const auto found = layers_.find(index);
  return found == layers_.end() || !found->second.known() ? nullptr : &found->second;
}

}  // namespace scenario
