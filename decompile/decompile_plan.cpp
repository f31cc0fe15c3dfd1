#include "decompile/decompile_plan.h"

#include <array>
#include <bit>
#include <cmath>
#include <string>

#include "model/plan_recurrence.h"

namespace scenario {
namespace {

// The thirteen turns a metre can take: straight, then left and right of each class.
struct Turn {
  double curvature = 0.0;
  char side = 'd';
  int class_digit = 0;  // 0: straight
};

constexpr std::array<Turn, 13> make_turns() {
  std::array<Turn, 13> turns{};
  for (size_t i = 0; i < kCurveClassCurvature.size(); ++i) {
    turns[1 + 2 * i] = Turn{-kCurveClassCurvature[i], 's', static_cast<int>(i) + 1};
    turns[2 + 2 * i] = Turn{kCurveClassCurvature[i], 'd', static_cast<int>(i) + 1};
  }
  return turns;
}
constexpr std::array<Turn, 13> kTurns = make_turns();

bool same_bits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// The two points before metre m, the step between them and the point at m.
struct Step {
  double x2, y2, x1, y1, dx, dy, x, y;

  // Whether `curvature` turns the step before into exactly the point at m (the compile's own
  // recurrence).
  bool given_by(double curvature) const {
    const PlanPoint next = plan_step(PlanPoint{x2, y2}, PlanPoint{x1, y1}, curvature);
    return same_bits(next.x, x) && same_bits(next.y, y);
  }
};

// The turn nearest to the step's estimated heading change; the straight when it cannot be told.
size_t nearest_turn(const Step& step) {
  const double turned_x = step.x - step.x1 - step.dx;  // c * dy
  const double turned_y = step.y - step.y1 - step.dy;  // -c * dx
  const double estimate = (turned_x * step.dy - turned_y * step.dx) / (step.dx * step.dx + step.dy * step.dy);
  size_t nearest = 0;
  if (!std::isfinite(estimate)) return nearest;
  for (size_t i = 1; i < kTurns.size(); ++i) {
    if (std::fabs(estimate - kTurns[i].curvature) < std::fabs(estimate - kTurns[nearest].curvature)) nearest = i;
  }
  return nearest;
}

// Finds the turn of each metre and collects the runs of turned metres as curve records.
class CurveRuns {
 public:
  CurveRuns(const LinePlan& plan, Findings& findings) : plan_(plan), findings_(findings) {}

  std::vector<CurveRecord> run() {
    const int32_t end = plan_.next_metre();
    for (int32_t m = 2; m < end; ++m) {
      const double x2 = plan_.x(m - 2), y2 = plan_.y(m - 2), x1 = plan_.x(m - 1), y1 = plan_.y(m - 1);
      const Step step{x2, y2, x1, y1, x1 - x2, y1 - y2, plan_.x(m), plan_.y(m)};
      follow(m, turn_of(m, step));
    }
    follow(end, 0);
    if (unexplained_ > 1) {
      findings_.add(metre_place(first_unexplained_),
                    "and " + std::to_string(unexplained_ - 1) + " more metres: points that no curve class gives");
    }
    return curves_;
  }

 private:
  size_t turn_of(int32_t m, const Step& step) {
    // Curves and straights run for many metres: the turn of the metre before is tried first.
    if (step.given_by(kTurns[run_turn_].curvature)) return run_turn_;
    const size_t nearest = nearest_turn(step);
    if (step.given_by(kTurns[nearest].curvature)) return nearest;
    for (size_t i = 0; i < kTurns.size(); ++i) {
      if (step.given_by(kTurns[i].curvature)) return i;
    }
    if (unexplained_++ == 0) {
      first_unexplained_ = m;
      findings_.add(metre_place(m), "no curve class, nor the straight, gives this point from the two before it");
    }
    return nearest;
  }

  // Metre m turns by kTurns[turn]: a change of turn closes the curve run before it.
  void follow(int32_t m, size_t turn) {
    if (turn == run_turn_) return;
    if (run_turn_ != 0) {
      const Turn& t = kTurns[run_turn_];
      curves_.push_back(CurveRecord{t.side, t.class_digit, run_start_ - 1, m - run_start_});
    }
    run_turn_ = turn;
    run_start_ = m;
  }

  const LinePlan& plan_;
  Findings& findings_;
  std::vector<CurveRecord> curves_;
  size_t run_turn_ = 0;
  int32_t run_start_ = 2;
  int64_t unexplained_ = 0;
  int32_t first_unexplained_ = 0;
};

}  // namespace

double curve_curvature(const CurveRecord& curve) {
  const double c = class_curvature(curve.class_digit);
  return curve.side == 's' ? -c : c;
}

std::vector<CurveRecord> recover_curves(const LinePlan& plan, int32_t line_length, Findings& findings) {
  const std::string place = "line record";
  if (!plan.allocated()) return {};
  const int64_t expected_length = int64_t{line_length} + kCellsPastLineEnd;
  if (plan.plan_length() != expected_length) {
    findings.add(place, "the plan runs to metre " + std::to_string(plan.plan_length()) + ", a line of " +
                            std::to_string(line_length) + " m has one to metre " + std::to_string(expected_length));
  }
  if (!plan.started()) {
    findings.add(place, "the plan holds no points: it was sized but never computed");
    return {};
  }
  const int64_t computed_to = int64_t{plan.plan_length()} - 2;
  if (plan.next_metre() - 1 != computed_to) {
    findings.add(metre_place(plan.next_metre()),
                 "the plan stops here; a compiled plan runs to metre " + std::to_string(computed_to));
  }
  return CurveRuns(plan, findings).run();
}

}  // namespace scenario
