// Compiling a scenario in memory: the entry point for programs that embed the compiler.
//
// compile_scenario takes the bytes of a line description and of a train description (the text
// formats that scenario_build writes and scenario_tool compile reads: code page 1252, CR LF line
// ends) and returns the bytes of the three files the simulator loads, with the error record of the
// compile. It runs exactly the compile of scenario_build and touches no file: the caller decides
// where the bytes go. It throws nothing but std::bad_alloc.
//
//   scenario::CompileRequest request;
//   request.line_description = line_bytes;
//   request.train_description = train_bytes;
//   const scenario::CompiledScenario result = scenario::compile_scenario(request);
//   if (!result.error.message.empty()) std::cerr << result.error.message << "\n";
//   if (result.has_files()) save(result.track_cells, result.scenario_record, result.line_record);
//
// Compile errors do not stop the compile: the files are made all the same, as the program writes
// them, and error.code says what went wrong. Only a fatal report (error.fatal, a header slot taken)
// or a line description that gives no track model leaves the three byte strings empty.
//
// This header needs C++17 and nothing beyond the standard library; find_package(scenario_compiler)
// gives it with the target scenario::core.
#ifndef SCENARIO_INCLUDE_SCENARIO_COMPILE_H_
#define SCENARIO_INCLUDE_SCENARIO_COMPILE_H_

#include <string>

namespace scenario {

struct CompileRequest {
  std::string line_description;   // the line description's bytes
  std::string train_description;  // the train description's bytes
  // The names the files are known by in error reports; empty: the names the program gives its
  // own description files (LINE_linea.txt and LINE_TRAIN-.txt).
  std::string line_file_name;
  std::string train_file_name;
  // The line name and train number (UTF-8), written into the scenario record in code page 1252;
  // empty: those of the scenario embedded in scenario_build.
  std::string line_name;
  std::string train_number;
  bool line_plan = true;  // build the plan of the line and return the line record
};

// What went wrong in a compile; a clean compile leaves every field empty or 0.
struct CompileError {
  int code = 0;               // the simulator's compile error number (0: none)
  int position = 0;           // metres from the start of the line, when has_position
  bool has_position = false;  // whether `position` goes with this code
  int fatal = 0;              // a fatal report (1250 or 1251): no file was made
  // The record that caused the error, when one did: description file name, 1-based line and column.
  std::string file;
  int line = 0;
  int column = 0;
  // The report as scenario_tool prints it, in UTF-8: "compile error N at P m: words", then
  // "FILE:LINE:COLUMN: here", the line and a caret under the record; " Errore n. 1250" for a fatal
  // report; a sentence when no track model was built.
  std::string message;
};

struct CompiledScenario {
  std::string track_cells;      // LINE_TRAIN.dat
  std::string scenario_record;  // LINE_TRAIN.sim
  std::string line_record;      // LINE_linea.dat; empty unless the request asked for the plan
  CompileError error;

  // Whether the compile made the files (with or without a compile error).
  bool has_files() const { return !track_cells.empty(); }
  // Whether the compile made the files without any error.
  bool clean() const { return has_files() && error.code == 0; }
};

CompiledScenario compile_scenario(const CompileRequest& request);

// The library's version, "MAJOR.MINOR.PATCH".
const char* version();

}  // namespace scenario

#endif  // SCENARIO_INCLUDE_SCENARIO_COMPILE_H_
