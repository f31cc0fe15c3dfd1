#include "decompile/decompile.h"

#include "decompile/decompile_cut_offs.h"
#include "decompile/decompile_line.h"
#include "decompile/decompile_train.h"
#include "description/description_writer.h"

namespace scenario {
namespace {

DescriptionTexts write_descriptions(const LineDescription& line, const TrainDescription& train) {
  return DescriptionTexts{write_line_description(line), write_train_description(train)};
}

}  // namespace

DescriptionTexts recover_descriptions(const ScenarioModel& files, Findings& findings) {
  return write_descriptions(recover_line(files, findings), recover_train(files, findings));
}

DecompileResult decompile(const ScenarioModel& files) {
  DecompileResult result;
  const LineDescription line = recover_line(files, result.findings);
  TrainDescription train = recover_train(files, result.findings);

  add_post_processing_records(files, line, train);

  result.descriptions = write_descriptions(line, train);
  CompileState compiled;
  const CompileResult outcome = compile_descriptions(result.descriptions, files, files.plan.allocated(), &compiled);
  compare_compiled(compiled, outcome, files, result.findings);
  return result;
}

}  // namespace scenario
