#include "driver/build_sequence.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "compiler/file_names.h"
#include "disk/file_replace.h"
#include "disk/reports.h"
#include "driver/program_folder.h"
#include "scenario/text_writers.h"

namespace scenario {

void errore(const std::string& number) {
  std::cerr << fatal_report(number) << std::endl;
  std::exit(kExitFatal);
}

Status read_description(const std::string& folder, const std::string& name, Description* description) {
  description->file_name = name;
  bool missing = false;
  Status status = read_file(path_in_folder(folder, name), &description->bytes, &missing);
  description->exists = status.ok();
  if (missing) return Status::Ok();
  return status;
}

int Form_Load(const std::string& folder) {
  CompileState state;
  state.line_name = kEmbeddedLineName;
  state.train_number = kEmbeddedTrainNumber;
  const ScenarioFileNames names = scenario_file_names(state.line_name, state.train_number);

  // The wait notice comes first, before any work.
  std::cerr << "Attendere" << std::endl;

  FolderSink sink(folder);
  // The compile removes the two descriptions a few milliseconds after writing them: flushing them
  // to disk would buy nothing.
  sink.write_without_sync(names.line_description);
  sink.write_without_sync(names.train_description);
  using Writer = Status (*)(OutputSink&, const ScenarioFileNames&);
  for (Writer writer : {dati_linea, dati_treno, dati_note, dati_rallentamenti, dati_scheda}) {
    Status status = writer(sink, names);
    if (!status.ok()) return report_file_system_failure(status, "scenario_build");
  }

  Description line;
  Description train;
  Status status = read_description(folder, names.line_description, &line);
  if (status.ok()) status = read_description(folder, names.train_description, &train);
  if (!status.ok()) return report_file_system_failure(status, "scenario_build");

  const CompileResult result = memorizza_percorso(state, 1, line, train, names, sink);
  if (result.fatal != 0 && result.status.ok()) errore(std::to_string(result.fatal));
  return report_compile(state, result, "scenario_build");
}

}  // namespace scenario
