#include "compiler/decompile.h"

#include <algorithm>

#include "compiler/decompile_line.h"
#include "compiler/decompile_train.h"
#include "compiler/decompile_writer.h"

namespace scenario {
namespace {

constexpr int16_t kPostProcessingValue = 180;

DescriptionTexts write_descriptions(const LineDescription& line, const TrainDescription& train) {
  return DescriptionTexts{write_line_description(line), write_train_description(train)};
}

bool has_post_processing_points(const std::vector<TrackCell>& cells) {
  return std::any_of(cells.begin(), cells.end(), [](const TrackCell& cell) {
    return cell.kind == kAbbattimento && cell.value_a == kPostProcessingValue;
  });
}

// Adds a cut-off record for every point of the files that the compile did not lay, where the
// compiled cell is free for it. Returns whether it added any.
bool add_missing_cut_off_points(const std::vector<TrackCell>& files, const std::vector<TrackCell>& compiled,
                                TrainDescription& train) {
  bool added = false;
  const size_t common = std::min(files.size(), compiled.size());
  for (size_t i = 0; i < common; ++i) {
    if (files[i].kind != kAbbattimento || compiled[i].kind == kAbbattimento || !is_free(compiled[i])) continue;
    train.cut_off_points.push_back(cut_off_record(static_cast<int64_t>(i), files[i]));
    added = true;
  }
  std::stable_sort(train.cut_off_points.begin(), train.cut_off_points.end(),
                   [](const PositionValue& a, const PositionValue& b) { return a.position < b.position; });
  return added;
}

}  // namespace

DescriptionTexts recover_descriptions(const CompileState& files, Findings& findings) {
  return write_descriptions(recover_line(files, findings), recover_train(files, findings));
}

DecompileResult decompile(const CompileState& files) {
  DecompileResult result;
  const LineDescription line = recover_line(files, result.findings);
  TrainDescription train = recover_train(files, result.findings);

  CompileState compiled;
  if (has_post_processing_points(files.cells)) {
    for (int round = 0; round < kCutOffRounds; ++round) {
      compile_descriptions(write_descriptions(line, train), files, false, &compiled);
      if (!add_missing_cut_off_points(files.cells, compiled.cells, train)) break;
    }
  }

  result.descriptions = write_descriptions(line, train);
  const CompileResult outcome = compile_descriptions(result.descriptions, files, files.plan.allocated(), &compiled);
  compare_compiled(compiled, outcome, files, result.findings);
  return result;
}

}  // namespace scenario
