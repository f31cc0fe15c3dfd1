#include "cli/reports.h"

#include <iostream>

#include "compiler/error_catalogue.h"

namespace scenario {

int report_file_system_failure(const Status& status, const char* program) {
  std::cerr << program << ": " << status.ToString() << std::endl;
  return kExitFileSystem;
}

int claim_output_folder(FolderSink& sink, const char* program, bool no_wait) {
  const Status status = sink.claim(no_wait ? LockWait::kRefuse : LockWait::kWait, [&] {
    std::cerr << program << ": waiting for another run writing into '" << sink.folder() << "' to end" << std::endl;
  });
  return status.ok() ? kExitClean : report_file_system_failure(status, program);
}

int finish_writing(OutputSink& sink, const Status& failure, const char* program) {
  const Status finished = sink.finish();
  if (!failure.ok()) report_file_system_failure(failure, program);
  if (!finished.ok()) report_file_system_failure(finished, program);
  return failure.ok() && finished.ok() ? kExitClean : kExitFileSystem;
}

int report_compile(const CompileState& state, const CompileResult& result, const char* program,
                   const std::vector<std::string>& written) {
  if (state.error().ErrorCode != 0) {
    std::cerr << compile_error_report(state.error()) << std::endl;
    if (result.no_model) {
      std::cerr << program << ": no track model was built; no binary file written" << std::endl;
    } else if (!written.empty()) {
      std::string names;
      for (const std::string& name : written) names += (names.empty() ? "" : ", ") + name;
      std::cerr << program << ": written despite the error: " << names << std::endl;
    }
    return kExitCompileError;
  }
  if (result.no_model) {
    std::cerr << program << ": the line description gave no track model; no binary file written" << std::endl;
    return kExitCompileError;
  }
  return kExitClean;
}

}  // namespace scenario
