#include "scenario/compile.h"

#include "compiler/compile.h"
#include "compiler/error_catalogue.h"
#include "format/binary_outputs.h"
#include "format/cp1252.h"
#include "format/file_names.h"
#include "model/track_model.h"
#include "scenario_version.h"

namespace scenario {
namespace {

std::string or_default(const std::string& given, const char* fallback) { return given.empty() ? fallback : given; }

CompileError error_record(const CompileState& state, const CompileResult& result) {
  CompileError error;
  if (result.fatal != 0) {
    error.fatal = result.fatal;
    error.message = fatal_report(std::to_string(result.fatal));
    return error;
  }
  const ErrorRecord& record = state.error();
  error.code = record.ErrorCode;
  if (record.ErrorCode != 0) {
    error.has_position = describe_error(record.ErrorCode).has_position;
    error.position = error.has_position ? record.ErrorPosition : 0;
    if (record.place.known()) {
      error.file = record.place.file;
      error.line = record.place.line;
      error.column = record.place.column;
    }
    error.message = compile_error_report(record);
  }
  if (result.no_model) {
    error.message += std::string(error.message.empty() ? "" : "\n") +
                     "the line description gave no track model: no file was made";
  }
  return error;
}

}  // namespace

CompiledScenario compile_scenario(const CompileRequest& request) {
  const std::string line_name = or_default(request.line_name, kEmbeddedLineName);
  const std::string train_number = or_default(request.train_number, kEmbeddedTrainNumber);
  const ScenarioFileNames names = scenario_file_names(line_name, train_number);

  CompileState state;
  state.line_name = utf8_to_cp1252(line_name);
  state.train_number = utf8_to_cp1252(train_number);
  const Description line{or_default(request.line_file_name, names.line_description.c_str()), true,
                         request.line_description};
  const Description train{or_default(request.train_file_name, names.train_description.c_str()), true,
                          request.train_description};
  const CompileResult result = compile(state, request.line_plan, line, train);

  CompiledScenario compiled;
  compiled.error = error_record(state, result);
  if (result.has_model()) {
    compiled.track_cells = encode_track_cells(state);
    compiled.scenario_record = encode_scenario_record(state);
    if (request.line_plan) compiled.line_record = encode_line_plan(state.plan);
  }
  return compiled;
}

const char* version() { return kScenarioVersion; }

}  // namespace scenario
