// The reports of a run on standard error, shared by scenario_build and scenario_tool compile, and
// the exit status that goes with each:
//   - a compile error: with the record's place "FILE:LINE:COLUMN: error: compile error N at P m:
//     words", the line and a caret under the field (without a place "compile error N ..." alone),
//     then a line telling which files were still written, or that no track model (and so no
//     binary file) came of the parse: status 1;
//   - a file-system failure: "PROGRAM: 'PATH': REASON": status 3;
//   - the fatal report (fatal_report in compiler/error_catalogue.h: status 2, reported by the caller).
#ifndef SCENARIO_CLI_REPORTS_H_
#define SCENARIO_CLI_REPORTS_H_

#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/error_catalogue.h"
#include "disk/file_replace.h"
#include "format/output_sink.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {

// Prints a file-system failure as "PROGRAM: 'PATH': REASON" and returns 3.
int report_file_system_failure(const Status& status, const char* program);

// Takes the output folder of `sink` for the run (FolderSink::claim): waits for another run writing
// into it, saying so on standard error after a moment ("PROGRAM: waiting for another run writing
// into 'FOLDER' to end"), or with `no_wait` refuses at once. A failure is reported; returns 3 then,
// else 0.
int claim_output_folder(FolderSink& sink, const char* program, bool no_wait);

// Ends the writing of a run: makes the files handed to `sink` durable under their names (also after
// a failure, so that the files written before it stay) and prints `failure` and the failure of that
// last step, each as a file-system failure. Returns 3 when there was either, else 0.
int finish_writing(OutputSink& sink, const Status& failure, const char* program);

// The exit status and standard-error report for a finished compile (everything but the fatal
// report). `program` prefixes file-system messages.
// `written` names the files the compile wrote, when the caller knows them.
int report_compile(const CompileState& state, const CompileResult& result, const char* program,
                   const std::vector<std::string>& written = {});

}  // namespace scenario

#endif  // SCENARIO_CLI_REPORTS_H_
