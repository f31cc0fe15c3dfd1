#include "compiler/stretch_fill.h"

#include <algorithm>

namespace scenario {
namespace {

int64_t last_writable(const std::vector<TrackCell>& cells, int64_t highest) {
  return std::min(highest, static_cast<int64_t>(cells.size()) - 1);
}

}  // namespace

bool StretchFill::writes_a_cell(const std::vector<TrackCell>& cells, int64_t highest) const {
  return cursor_ <= last_writable(cells, highest);
}

void StretchFill::fill_to(std::vector<TrackCell>& cells, int64_t until, int64_t highest, uint8_t value) {
  const int64_t last = last_writable(cells, highest);
  do {
    if (cursor_ > last) return;
    cells[static_cast<size_t>(cursor_)].*field_ = value;
    ++cursor_;
  } while (cursor_ < until);
}

}  // namespace scenario
