#include "render/render_labels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scenario {
namespace {

int64_t grid_key(int64_t gx, int64_t gy) { return gx * 1000003 + gy; }

}  // namespace

LabelPlacer::LabelPlacer(Box bounds, double gap) : bounds_(bounds), gap_(gap), reach_(bounds.grown(gap)) {
  const auto fit = [](double extent, double* square, int64_t* count) {
    if (!(extent > 0) || !std::isfinite(extent)) return;  // one square: every box falls in it
    *square = std::max(kBlockGrid, extent / static_cast<double>(kMostSquares));
    *count = std::min<int64_t>(kMostSquares, static_cast<int64_t>(std::ceil(extent / *square)) + 1);
  };
  fit(reach_.width(), &square_w_, &columns_);
  fit(reach_.height(), &square_h_, &rows_);
}

bool LabelPlacer::squares(const Box& box, SquareRange* range) const {
  const Box clipped{std::max(box.x0, reach_.x0), std::max(box.y0, reach_.y0), std::min(box.x1, reach_.x1),
                    std::min(box.y1, reach_.y1)};
  if (!(clipped.x0 <= clipped.x1 && clipped.y0 <= clipped.y1)) return false;
  // Clamped as doubles before the conversion, so that no value is out of an integer's range.
  const auto index = [](double offset, double square, int64_t count) {
    const double i = std::clamp(std::floor(offset / square), 0.0, static_cast<double>(count - 1));
    return std::isfinite(i) ? static_cast<int64_t>(i) : 0;
  };
  *range = {index(clipped.x0 - reach_.x0, square_w_, columns_), index(clipped.y0 - reach_.y0, square_h_, rows_),
            index(clipped.x1 - reach_.x0, square_w_, columns_), index(clipped.y1 - reach_.y0, square_h_, rows_)};
  return true;
}

void LabelPlacer::add_blocker(const Box& box) {
  SquareRange range{};
  if (!squares(box, &range)) return;
  const auto id = static_cast<uint32_t>(blockers_.size());
  blockers_.push_back(box);
  seen_.push_back(0);
  if ((range.x1 - range.x0 + 1) * (range.y1 - range.y0 + 1) > kWideSquares) {
    wide_.push_back(id);
    return;
  }
  for (int64_t gx = range.x0; gx <= range.x1; ++gx) {
    for (int64_t gy = range.y0; gy <= range.y1; ++gy) blocker_squares_[grid_key(gx, gy)].push_back(id);
  }
}

void LabelPlacer::add_obstacle(const Box& box) { add_blocker(box); }

void LabelPlacer::add_soft_point(Point point, double penalty) {
  // A point outside the bounds is under no candidate (candidates lie inside them).
  if (!(point.x >= bounds_.x0 && point.x <= bounds_.x1 && point.y >= bounds_.y0 && point.y <= bounds_.y1)) return;
  const auto gx = static_cast<int64_t>(std::floor(point.x / kSoftGrid));
  const auto gy = static_cast<int64_t>(std::floor(point.y / kSoftGrid));
  soft_[grid_key(gx, gy)].push_back({point, penalty});
}

int LabelPlacer::blocking(const Box& box, int enough) {
  const Box kept = box.grown(gap_);
  int count = 0;
  for (const uint32_t id : wide_) count += kept.overlaps(blockers_[id]) ? 1 : 0;
  SquareRange range{};
  if (count >= enough || !squares(kept, &range)) return count;
  ++query_;  // a box in several squares is counted once
  for (int64_t gx = range.x0; gx <= range.x1; ++gx) {
    for (int64_t gy = range.y0; gy <= range.y1; ++gy) {
      const auto found = blocker_squares_.find(grid_key(gx, gy));
      if (found == blocker_squares_.end()) continue;
      for (const uint32_t id : found->second) {
        if (seen_[id] == query_) continue;
        seen_[id] = query_;
        count += kept.overlaps(blockers_[id]) ? 1 : 0;
        if (count >= enough) return count;
      }
    }
  }
  return count;
}

double LabelPlacer::soft_cost(const Box& box) const {
  double cost = 0;
  const auto gx0 = static_cast<int64_t>(std::floor(box.x0 / kSoftGrid));
  const auto gx1 = static_cast<int64_t>(std::floor(box.x1 / kSoftGrid));
  const auto gy0 = static_cast<int64_t>(std::floor(box.y0 / kSoftGrid));
  const auto gy1 = static_cast<int64_t>(std::floor(box.y1 / kSoftGrid));
  for (int64_t gx = gx0; gx <= gx1; ++gx) {
    for (int64_t gy = gy0; gy <= gy1; ++gy) {
      const auto found = soft_.find(grid_key(gx, gy));
      if (found == soft_.end()) continue;
      for (const auto& [p, penalty] : found->second) {
        if (p.x >= box.x0 && p.x <= box.x1 && p.y >= box.y0 && p.y <= box.y1) cost += penalty;
      }
    }
  }
  return cost;
}

int LabelPlacer::place(const std::vector<LabelCandidate>& candidates, bool required) {
  int best = -1;
  double best_cost = std::numeric_limits<double>::infinity();
  int fallback = -1;
  double fallback_rank = std::numeric_limits<double>::infinity();
  for (size_t i = 0; i < candidates.size(); ++i) {
    const LabelCandidate& c = candidates[i];
    if (!bounds_.contains(c.box)) continue;
    if (c.cost >= best_cost) continue;
    const double cost = c.cost + soft_cost(c.box);
    // Counting stops where the candidate can no longer win: at the first box when a free
    // candidate is all that can be taken, and one past the count at which it would rank behind the
    // fallback so far (a margin against rounding), so that a pile of crowded labels is not counted
    // whole for every candidate.
    int enough = 1;
    if (required && best < 0) {
      const double losing = (fallback_rank - cost) / 1e6 + 1;
      enough = losing < 1e9 ? std::max(1, static_cast<int>(std::ceil(losing))) : std::numeric_limits<int>::max();
    }
    const int blocked = blocking(c.box, enough);
    if (blocked == 0) {
      if (cost < best_cost) {
        best = static_cast<int>(i);
        best_cost = cost;
      }
    } else if (required && blocked * 1e6 + cost < fallback_rank) {
      fallback = static_cast<int>(i);
      fallback_rank = blocked * 1e6 + cost;
    }
  }
  if (best < 0 && required) {
    best = fallback >= 0 ? fallback : (candidates.empty() ? -1 : 0);
    if (best >= 0) ++conflicts_;
  }
  if (best >= 0) {
    placed_.push_back(candidates[static_cast<size_t>(best)].box);
    add_blocker(placed_.back());
  }
  return best;
}

std::vector<LabelCandidate> around_point(Point anchor, double w, double h, double gap, size_t rings) {
  // Directions by preference: right, left, above, below, then the four diagonals, then the eight
  // in between; each costs a little more than the one before.
  static constexpr double kDegrees[16] = {0,    180,   -90,   90,    -45,   -135, 45,   135,
                                          -22.5, 22.5, -157.5, 157.5, -67.5, -112.5, 67.5, 112.5};
  static constexpr double kRingSteps[kMostRings] = {0, 10, 22, 36, 52, 70, 92, 118, 150};
  std::vector<LabelCandidate> out;
  for (size_t ring = 0; ring < std::min(rings, kMostRings); ++ring) {
    const double r = gap + kRingSteps[ring];
    const size_t directions = ring == 0 ? 8 : 16;
    for (size_t d = 0; d < directions; ++d) {
      const double a = kDegrees[d] * 3.14159265358979323846 / 180.0;
      const double cx = anchor.x + std::cos(a) * (r + w / 2);
      const double cy = anchor.y + std::sin(a) * (r + h / 2);
      const Box box{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
      out.push_back({box, kRingSteps[ring] * 1.5 + static_cast<double>(d) * 0.6});
    }
  }
  return out;
}

std::vector<LabelCandidate> shifted_along(const Box& box, double step_x, double max_shift, double step_y,
                                          int rows) {
  std::vector<LabelCandidate> out;
  for (int row = 0; row < rows; ++row) {
    for (double shift = 0; shift <= max_shift; shift += step_x) {
      out.push_back({box.moved(shift, -row * step_y), shift + row * std::abs(step_y) * 1.5});
      if (shift > 0) out.push_back({box.moved(-shift, -row * step_y), shift + row * std::abs(step_y) * 1.5});
      if (step_x <= 0) break;
    }
  }
  return out;
}

Point nearest_point(const Box& box, Point anchor) {
  return {std::clamp(anchor.x, box.x0, box.x1), std::clamp(anchor.y, box.y0, box.y1)};
}

}  // namespace scenario
