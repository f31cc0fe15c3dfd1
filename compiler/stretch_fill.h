// A range fill of the cells: one stretch value (gradient, speed_limit or adhesion) written from a
// cursor onward, as the gradient, speed-limit and adhesion records and the end of each phase do.
//
// fill_to(cells, until, highest, value) writes `value` into the field of the cell at the cursor
// and of each cell after it up to the cell before `until`, and leaves the cursor after the last
// cell written. It always writes the cell at the cursor, so that a record whose cell the cursor
// has already passed still writes one cell. It never writes past `highest` (nor past the array's
// last cell): a fill that reaches it stops there, with the cursor on the cell after it.
#ifndef SCENARIO_COMPILER_STRETCH_FILL_H_
#define SCENARIO_COMPILER_STRETCH_FILL_H_

#include <cstdint>
#include <vector>

#include "model/track_model.h"

namespace scenario {

class StretchFill {
 public:
  // A fill of `field` (&TrackCell::gradient, ...) whose cursor starts at cell 0.
  explicit StretchFill(uint8_t TrackCell::*field) : field_(field) {}

  int64_t cursor() const { return cursor_; }

  // True when fill_to(cells, ..., highest, ...) would write a cell.
  bool writes_a_cell(const std::vector<TrackCell>& cells, int64_t highest) const;

  void fill_to(std::vector<TrackCell>& cells, int64_t until, int64_t highest, uint8_t value);

 private:
  uint8_t TrackCell::*field_;
  int64_t cursor_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_STRETCH_FILL_H_
