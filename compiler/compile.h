// The compile: two description texts in, the completed track model out. It writes and removes
// nothing: the caller encodes the model (format/binary_outputs.h), writes the files where it wants
// them, and removes the descriptions the compile says it is finished with.
//
// compile() starts from an empty model (cells, station table, plan) and a clear error record, runs
// memorizza_dati (the line phase, then the train phase), post-processes the cells, checks the two
// header slots of cell 1 and entry 85 and stores the header constants and check codes. Compile
// errors stay in the error record and do not stop it; a taken header slot is a fatal report (1250
// or 1251) and stops it, and so does a parse that ends without a cell array (no usable line
// length): in both cases there is no model to encode.
#ifndef SCENARIO_COMPILER_COMPILE_H_
#define SCENARIO_COMPILER_COMPILE_H_

#include <cstdint>
#include <string>

#include "compiler/check_findings.h"
#include "model/track_model.h"

namespace scenario {

// A description file as read by the caller: its name, whether it exists, and its bytes.
struct Description {
  std::string file_name;
  bool exists = false;
  std::string bytes;
};

// Which description files the parse has finished with: a program that owns them removes them.
struct DescriptionFate {
  bool remove_line = false;
  bool remove_train = false;
};

// The parse of both descriptions into `state`. The line description missing is error 101; a
// train description missing, or any read failure, is error 25 (both files are then removed).
// Every error is recorded in the state's error record.
DescriptionFate memorizza_dati(CompileState& state, const Description& line, const Description& train);

struct CompileResult {
  DescriptionFate finished;  // the descriptions the parse has finished with
  int fatal = 0;             // 1250 or 1251 when a header slot was taken
  bool no_model = false;     // the parse ended without a cell array

  // Whether the model is complete and is to be encoded into the three files (with or without a
  // compile error in the error record).
  bool has_model() const { return fatal == 0 && !no_model; }
};

// The whole compile into `state`, whose names (line_name, train_number) the caller has set; the plan
// of the line is built when `line_plan`. With `findings` (a check), every error of the
// post-processing is also added there.
CompileResult compile(CompileState& state, bool line_plan, const Description& line, const Description& train,
                      CheckFindings* findings = nullptr);

// The fatal reports' numbers: a header slot of cell 1 (its first or its second value) was taken.
inline constexpr int kFatalCell1ValueA = 1250;
inline constexpr int kFatalCell1ValueB = 1251;

}  // namespace scenario

#endif  // SCENARIO_COMPILER_COMPILE_H_
