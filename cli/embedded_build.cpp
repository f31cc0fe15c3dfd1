#include "cli/embedded_build.h"

#include <iostream>
#include <string>

#include "cli/reports.h"
#include "compiler/compile.h"
#include "disk/file_replace.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "scenario/text_writers.h"

namespace scenario {
namespace {

// Reads a description file from `folder` for the compile; a missing file is reported through
// Description::exists, any other failure through the Status.
Status read_description(const std::string& folder, const std::string& name, Description* description) {
  description->file_name = name;
  bool missing = false;
  Status status = read_file(path_in_folder(folder, name), &description->bytes, &missing);
  description->exists = status.ok();
  if (missing) return Status::Ok();
  return status;
}

}  // namespace

EmbeddedBuildResult build_embedded_scenario(const std::string& folder, const char* program, LockWait wait) {
  CompileState state;
  state.line_name = kEmbeddedLineName;
  state.train_number = kEmbeddedTrainNumber;
  const ScenarioFileNames names = scenario_file_names(state.line_name, state.train_number);
  EmbeddedBuildResult result;

  // The kept files wait in the sink until finish_writing flushes them together and puts them under
  // their names; it runs on every road out, so that the documents written before a compile error stay.
  FolderSink sink(folder);
  result.status = claim_output_folder(sink, program, wait == LockWait::kRefuse);
  if (result.status != kExitClean) return result;
  Status status = Status::Ok();
  // The compile removes the two descriptions a few milliseconds after writing them: flushing them
  // to disk would buy nothing. They are put under their names at once, for the compile to read.
  sink.write_without_sync(names.line_description);
  sink.write_without_sync(names.train_description);
  bool line_written = false;
  bool train_written = false;
  // Every description this run wrote goes again, whatever ends the run; one it did not write
  // (a failure before it) is left as it was.
  auto remove_descriptions = [&] {
    Status removed = Status::Ok();
    if (line_written) removed = sink.remove_file(names.line_description);
    if (removed.ok() && train_written) removed = sink.remove_file(names.train_description);
    line_written = train_written = false;
    return removed;
  };
  using Writer = Status (*)(OutputSink&, const ScenarioFileNames&);
  for (Writer writer : {dati_linea, dati_treno, dati_note, dati_rallentamenti, dati_scheda}) {
    status = writer(sink, names);
    if (!status.ok()) break;
    line_written = true;
    train_written = train_written || writer == dati_treno;
  }
  if (!status.ok()) {
    const Status removed = remove_descriptions();
    if (!removed.ok()) report_file_system_failure(removed, program);
    result.status = finish_writing(sink, status, program);
    return result;
  }

  Description line;
  Description train;
  status = read_description(folder, names.line_description, &line);
  if (status.ok()) status = read_description(folder, names.train_description, &train);
  if (!status.ok()) {
    const Status removed = remove_descriptions();
    if (!removed.ok()) report_file_system_failure(removed, program);
    result.status = finish_writing(sink, status, program);
    return result;
  }

  const CompileResult compiled = compile(state, true, line, train);
  // The descriptions the compile has finished with go first, then the three files when there is a
  // model to encode.
  if (compiled.finished.remove_line) status = sink.remove_file(names.line_description);
  line_written = line_written && !compiled.finished.remove_line;
  if (status.ok() && compiled.finished.remove_train) status = sink.remove_file(names.train_description);
  train_written = train_written && !compiled.finished.remove_train;
  if (status.ok() && compiled.has_model()) status = write_outputs(state, names, sink);
  if (!status.ok()) {
    const Status removed = remove_descriptions();
    if (!removed.ok()) report_file_system_failure(removed, program);
  }
  // Before a fatal report too: the documents written before it stay.
  result.status = finish_writing(sink, status, program);
  if (result.status != kExitClean) return result;
  if (compiled.fatal != 0) {
    result.fatal = compiled.fatal;
    return result;
  }
  result.status = report_compile(state, compiled, program);
  return result;
}

}  // namespace scenario
