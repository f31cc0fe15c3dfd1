// The compile: two description texts in, the three binary files out.
//
// memorizza_percorso resets the error state and the station table, runs memorizza_dati (the line
// phase, then the train phase), removes the description files the parse has finished with,
// post-processes the cells, checks the two header slots of cell 1 and entry 85, stores the header
// constants and check codes, and writes the outputs. Compile errors stay in ErrorCode and
// ErrorPosition and do not stop it; a taken header slot is a fatal report (1250 or 1251) and
// stops it before any binary file is written. A parse that ends without a cell array (no usable
// line length) writes no binary files either.
#ifndef SCENARIO_COMPILER_COMPILE_DRIVER_H_
#define SCENARIO_COMPILER_COMPILE_DRIVER_H_

#include <cstdint>
#include <string>

#include "format/file_names.h"
#include "format/output_sink.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {

// A description file as read by the caller: its name, whether it exists, and its bytes.
struct Description {
  std::string file_name;
  bool exists = false;
  std::string bytes;
};

// Which description files the parse has finished with and are to be removed.
struct DescriptionFate {
  bool remove_line = false;
  bool remove_train = false;
};

// The parse of both descriptions into `state`. The line description missing is error 101; a
// train description missing, or any read failure, is error 25 (both files are then removed).
// Every error is recorded in the state's error record.
DescriptionFate memorizza_dati(CompileState& state, const Description& line, const Description& train);

struct CompileResult {
  Status status;       // a file could not be removed or written
  int fatal = 0;       // 1250 or 1251 when a header slot was taken: no binary file was written
  bool no_model = false;  // the parse ended without a cell array: no binary file was written
};

// The whole compile; `flag` becomes write_line_plan.
CompileResult memorizza_percorso(CompileState& state, int32_t flag, const Description& line,
                                 const Description& train, const ScenarioFileNames& names, OutputSink& sink);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_COMPILE_DRIVER_H_
