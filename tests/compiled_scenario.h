// A scenario compiled in memory, for round trips: the three files' bytes, and those bytes decoded
// back into a compile state as scenario_tool reads them.
#ifndef SCENARIO_TESTS_COMPILED_SCENARIO_H_
#define SCENARIO_TESTS_COMPILED_SCENARIO_H_

#include <cstdint>
#include <string>

#include "format/file_names.h"
#include "model/track_model.h"

namespace scenario::testing {

struct CompiledFiles {
  std::string track_cells;
  std::string scenario_record;
  std::string line_record;  // empty without the plan
  bool with_plan = false;
  int32_t error_code = 0;  // the compile's ErrorCode
  int fatal = 0;           // 1250 or 1251 when the compile ended in a fatal report
};

// Compiles two descriptions (code-page-1252 bytes) as scenario_tool compile does.
CompiledFiles compile_in_memory(const std::string& line, const std::string& train, bool with_plan,
                                const std::string& line_name = kEmbeddedLineName,
                                const std::string& train_number = kEmbeddedTrainNumber);

// The embedded scenario's two descriptions, as the program writes them.
std::string embedded_line_description();
std::string embedded_train_description();

// Decodes the files strictly into `state` (adopt_decoded); false, with the reason, when one does not decode.
bool decode_files(const CompiledFiles& files, CompileState* state, std::string* why);

}  // namespace scenario::testing

#endif  // SCENARIO_TESTS_COMPILED_SCENARIO_H_
