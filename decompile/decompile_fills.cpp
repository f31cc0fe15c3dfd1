#include "decompile/decompile_fills.h"

#include "decompile/decompile_values.h"

namespace scenario {
namespace {

// A record here writes one cell past the cursor however far back it stands (n = 1).
constexpr int64_t kOneCellBack = 1;

}  // namespace

std::vector<FillRecord> recover_fill(const std::vector<TrackCell>& cells, uint8_t TrackCell::*field) {
  std::vector<FillRecord> records;
  if (cells.empty()) return records;
  auto value = [&](int64_t cell) { return cells[static_cast<size_t>(cell)].*field; };
  const int64_t last = static_cast<int64_t>(cells.size()) - 1;

  records.push_back(FillRecord{0, value(0)});
  for (int64_t cell = 1; cell < last - 2; ++cell) {
    if (value(cell) != value(cell - 1)) records.push_back(FillRecord{fill_position(cell), value(cell)});
  }
  if (last < 2) return records;

  // The last three cells: a record at N - 2 makes the end fill write that cell; each record after
  // it, standing behind the cursor, writes the cell at the cursor with the value before it.
  const uint8_t at_n2 = value(last - 2);
  const uint8_t at_n1 = value(last - 1);
  const uint8_t at_n = value(last);
  if (at_n2 == 0 && at_n1 == 0 && at_n == 0) return records;
  records.push_back(FillRecord{fill_position(last - 2), at_n2});
  if (at_n1 != 0 || at_n != 0) records.push_back(FillRecord{fill_position(kOneCellBack), at_n1});
  if (at_n != 0) records.push_back(FillRecord{fill_position(kOneCellBack), at_n});
  return records;
}

}  // namespace scenario
