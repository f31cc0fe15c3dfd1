// Placing labels so that no two of them overlap.
//
// A label comes with its candidate boxes, best first, each with a cost. The placer takes labels
// one by one (the caller orders them by importance) and gives each the cheapest candidate that
// lies inside the drawing's bounds, keeps clear of every hard obstacle (a station's dot, say) and
// of every label placed before it, by at least the placer's gap. Soft obstacles are points the
// label should rather not cover (the track, small marks): each point under a candidate adds its
// penalty to the cost. A label whose candidates are all blocked is left out, or, when it is
// required, takes the candidate with the fewest conflicts, which is counted in conflicts() so
// that a caller and its tests can see that the drawing has overlapping labels.
//
// Candidate generators: around_point (rings around an anchor, with leader lines further out) and
// shifted_along (a box slid sideways and up, for labels along an axis).
#ifndef SCENARIO_RENDER_RENDER_LABELS_H_
#define SCENARIO_RENDER_RENDER_LABELS_H_

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "render/render_svg.h"

namespace scenario {

struct LabelCandidate {
  Box box;
  double cost = 0;
};

class LabelPlacer {
 public:
  // `gap`: the room kept between two labels and between a label and an obstacle.
  LabelPlacer(Box bounds, double gap);

  void add_obstacle(const Box& box);
  void add_soft_point(Point point, double penalty);

  // The index of the candidate given to the label, or -1 when it is left out.
  int place(const std::vector<LabelCandidate>& candidates, bool required);

  const std::vector<Box>& placed() const { return placed_; }
  int conflicts() const { return conflicts_; }

 private:
  // The grid square ranges a box covers within reach_, or false when it lies outside reach_ (or is
  // not a number): such a box can meet no candidate inside the bounds.
  struct SquareRange {
    int64_t x0, y0, x1, y1;
  };
  bool squares(const Box& box, SquareRange* range) const;
  void add_blocker(const Box& box);  // an obstacle or a placed label, indexed by grid square
  // The obstacles and labels the box meets, counted up to `enough` (the count may stop there).
  int blocking(const Box& box, int enough);

  double soft_cost(const Box& box) const;

  Box bounds_;
  double gap_;
  std::vector<Box> placed_;
  // Obstacles and placed labels by grid square, so that a candidate is tested only against the
  // boxes near it (a drawing may hold thousands of labels). The grid covers the bounds grown by
  // the gap, where every candidate's kept room lies, in at most kMostSquares squares a side; a box
  // covering more than kWideSquares squares is kept in wide_ and tested against every candidate.
  static constexpr double kBlockGrid = 64;
  static constexpr int64_t kMostSquares = 4096;
  static constexpr int64_t kWideSquares = 256;
  Box reach_;
  double square_w_ = kBlockGrid, square_h_ = kBlockGrid;
  int64_t columns_ = 1, rows_ = 1;
  std::vector<Box> blockers_;
  std::vector<uint32_t> wide_;
  std::unordered_map<int64_t, std::vector<uint32_t>> blocker_squares_;
  std::vector<uint64_t> seen_;  // per blocker, the query that last counted it
  uint64_t query_ = 0;
  // Soft points by grid square of kSoftGrid pixels.
  static constexpr double kSoftGrid = 24;
  std::unordered_map<int64_t, std::vector<std::pair<Point, double>>> soft_;
  int conflicts_ = 0;
};

// Candidates for a label of size w x h near the anchor: first touching a circle of radius `gap`
// around it (right, left, above, below, then the diagonals), then on up to `rings` - 1 rings
// further out, where the label needs a leader line back to the anchor. Farther rings cost more.
inline constexpr size_t kMostRings = 9;
std::vector<LabelCandidate> around_point(Point anchor, double w, double h, double gap, size_t rings = kMostRings);

// Candidates for a label whose preferred box is `box`: the box itself, then slid sideways by
// multiples of `step_x` (up to `max_shift` either way) and lifted by multiples of `step_y` (up to
// `rows` - 1 times). Sliding and lifting cost their distance.
std::vector<LabelCandidate> shifted_along(const Box& box, double step_x, double max_shift, double step_y,
                                          int rows);

// The point of `box` nearest to `anchor`: where a leader line from the anchor meets the label.
Point nearest_point(const Box& box, Point anchor);

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_LABELS_H_
