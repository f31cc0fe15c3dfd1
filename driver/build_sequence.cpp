#include "driver/build_sequence.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cli/reports.h"
#include "disk/file_replace.h"
#include "driver/notices.h"
#include "driver/program_folder.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "scenario/text_writers.h"

namespace scenario {

void errore(const std::string& number) { show_fatal_report(fatal_report(number)); }

Status read_description(const std::string& folder, const std::string& name, Description* description) {
  description->file_name = name;
  bool missing = false;
  Status status = read_file(path_in_folder(folder, name), &description->bytes, &missing);
  description->exists = status.ok();
  if (missing) return Status::Ok();
  return status;
}

int Form_Load(const std::string& folder) {
  constexpr const char* kProgram = "scenario_build";
  CompileState state;
  state.line_name = kEmbeddedLineName;
  state.train_number = kEmbeddedTrainNumber;
  const ScenarioFileNames names = scenario_file_names(state.line_name, state.train_number);

  // The wait notice comes first, before any work.
  show_wait_notice();

  // The kept files wait in the sink until finish_writing flushes them together and puts them under
  // their names; it runs on every road out, so that the files written before a failure stay.
  FolderSink sink(folder);
  // The compile removes the two descriptions a few milliseconds after writing them: flushing them
  // to disk would buy nothing. They are put under their names at once, for the compile to read.
  sink.write_without_sync(names.line_description);
  sink.write_without_sync(names.train_description);
  using Writer = Status (*)(OutputSink&, const ScenarioFileNames&);
  for (Writer writer : {dati_linea, dati_treno, dati_note, dati_rallentamenti, dati_scheda}) {
    const Status status = writer(sink, names);
    if (!status.ok()) return finish_writing(sink, status, kProgram);
  }

  Description line;
  Description train;
  Status status = read_description(folder, names.line_description, &line);
  if (status.ok()) status = read_description(folder, names.train_description, &train);
  if (!status.ok()) return finish_writing(sink, status, kProgram);

  const CompileResult result = compile(state, true, line, train);
  // The descriptions the compile has finished with go first, then the three files when there is a
  // model to encode.
  if (result.finished.remove_line) status = sink.remove_file(names.line_description);
  if (status.ok() && result.finished.remove_train) status = sink.remove_file(names.train_description);
  if (status.ok() && result.has_model()) status = write_outputs(state, names, sink);
  // Before a fatal report too: the documents written before it stay.
  if (const int failed = finish_writing(sink, status, kProgram); failed != kExitClean) return failed;
  if (result.fatal != 0) errore(std::to_string(result.fatal));
  return report_compile(state, result, kProgram);
}

}  // namespace scenario
