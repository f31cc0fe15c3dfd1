#include "decompile/decompile_cut_offs.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "decompile/decompile_train.h"
#include "decompile/decompile_verify.h"
#include "description/description_writer.h"
#include "model/cell_values.h"

namespace scenario {
namespace {

constexpr int64_t kNoDifference = std::numeric_limits<int64_t>::max();
// A mend looks this many cells either side of the first difference.
constexpr int64_t kMendReach = 2;

bool is_point(const TrackCell& cell) { return cell.kind == kCutOffPoint && cell.value_a == kCutOffPointValue; }

// The first cell where the compile's points (kind 12 and their values) differ from the files'.
int64_t first_point_difference(const std::vector<TrackCell>& files, const std::vector<TrackCell>& compiled) {
  const size_t common = std::min(files.size(), compiled.size());
  for (size_t i = 0; i < common; ++i) {
    const bool want = files[i].kind == kCutOffPoint;
    const bool got = compiled[i].kind == kCutOffPoint;
    if (want != got || (want && files[i].value_a != compiled[i].value_a)) return static_cast<int64_t>(i);
  }
  return files.size() == compiled.size() ? kNoDifference : static_cast<int64_t>(common);
}

class RecordSearch {
 public:
  RecordSearch(const ScenarioModel& files, const LineDescription& line, const TrainDescription& train)
      : files_(files), line_text_(write_line_description(line)), train_(train) {}

  std::vector<int64_t> run() {
    std::vector<int64_t> records;
    int64_t difference = judge(records, &compiled_);
    while (difference != kNoDifference && compiles_ < kMaxCutOffCompiles) {
      std::vector<int64_t> best;
      CompileState best_compiled;
      int64_t best_difference = difference;
      for (const std::vector<int64_t>& mend : mends(records, difference)) {
        if (compiles_ >= kMaxCutOffCompiles) break;
        CompileState compiled;
        const int64_t reached = judge(mend, &compiled);
        if (reached > best_difference) {
          best = mend;
          best_compiled = std::move(compiled);
          best_difference = reached;
        }
      }
      if (best_difference == difference) break;
      records = std::move(best);
      compiled_ = std::move(best_compiled);
      difference = best_difference;
    }
    return records;
  }

 private:
  const TrackCell& file_cell(int64_t i) const { return files_.cells[static_cast<size_t>(i)]; }
  bool inside(int64_t i) const {
    return i >= 0 && i < static_cast<int64_t>(std::min(files_.cells.size(), compiled_.cells.size()));
  }

  DescriptionTexts texts(const std::vector<int64_t>& records) const {
    TrainDescription train = train_;
    for (int64_t cell : records) train.cut_off_points.push_back(cut_off_record(cell, file_cell(cell)));
    // No two positions are equal: every record is of its own cell (the search takes cells of 180,
    // recover_train those of other values), so the order of ties never matters.
    std::stable_sort(train.cut_off_points.begin(), train.cut_off_points.end(),
                     [](const PositionValue& a, const PositionValue& b) { return a.position < b.position; });
    return DescriptionTexts{line_text_, write_train_description(train)};
  }

  // Compiles with `records` into `compiled` and gives the first cell whose points differ.
  int64_t judge(const std::vector<int64_t>& records, CompileState* compiled) {
    ++compiles_;
    compile_descriptions(texts(records), files_, false, compiled);
    return first_point_difference(files_.cells, compiled->cells);
  }

  // The changes that may mend the first difference, at cell x, of the compile of `records`.
  std::vector<std::vector<int64_t>> mends(const std::vector<int64_t>& records, int64_t x) const {
    std::vector<std::vector<int64_t>> found;
    auto recorded = [&records](int64_t i) { return std::find(records.begin(), records.end(), i) != records.end(); };
    auto with = [&records](int64_t i) {
      std::vector<int64_t> changed = records;
      changed.push_back(i);
      return changed;
    };
    if (inside(x) && is_point(file_cell(x)) && !recorded(x) && is_free(compiled_.cells[static_cast<size_t>(x)])) {
      found.push_back(with(x));
    }
    for (int64_t n = x - kMendReach; n <= x + kMendReach; ++n) {
      if (n == x || !inside(n)) continue;
      if (is_point(file_cell(n)) && !recorded(n) && compiled_.cells[static_cast<size_t>(n)].kind == kCutOffPoint) {
        found.push_back(with(n));
      }
    }
    for (int64_t n = x - kMendReach; n <= x + kMendReach; ++n) {
      if (!recorded(n)) continue;
      std::vector<int64_t> changed = records;
      changed.erase(std::find(changed.begin(), changed.end(), n));
      found.push_back(std::move(changed));
    }
    return found;
  }

  const ScenarioModel& files_;
  const std::string line_text_;
  const TrainDescription& train_;
  CompileState compiled_;  // the compile with the records chosen so far
  int compiles_ = 0;
};

}  // namespace

void add_post_processing_records(const ScenarioModel& files, const LineDescription& line, TrainDescription& train) {
  if (std::none_of(files.cells.begin(), files.cells.end(), is_point)) return;
  for (int64_t cell : RecordSearch(files, line, train).run()) {
    train.cut_off_points.push_back(cut_off_record(cell, files.cells[static_cast<size_t>(cell)]));
  }
  std::stable_sort(train.cut_off_points.begin(), train.cut_off_points.end(),
                   [](const PositionValue& a, const PositionValue& b) { return a.position < b.position; });
}

}  // namespace scenario
