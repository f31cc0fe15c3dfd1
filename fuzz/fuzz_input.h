// How the fuzz targets turn one input of bytes into description texts.
//
// The whole-compile target needs two descriptions and the line-plan flag from one input: the
// bytes before the first pair separator line are the line description, the bytes after it the
// train description, and the separator says whether the plan of the line is built and written
// (kPairSeparatorWithPlan) or not (kPairSeparator). The plan costs a computed point per metre and
// ten bytes per metre of line record, many times the rest of a compile, so most inputs leave it
// out and the fuzzer runs much faster; the line target fuzzes the plan itself. An input without a
// separator (a mutation often breaks it) is a line description alone, compiled without the plan,
// with an empty train description. The seed files of that target are written the same way.
#ifndef SCENARIO_FUZZ_FUZZ_INPUT_H_
#define SCENARIO_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/track_model.h"

namespace scenario::fuzz {

inline constexpr std::string_view kPairSeparator = "\n%%train%%\n";
inline constexpr std::string_view kPairSeparatorWithPlan = "\n%%train+plan%%\n";

struct DescriptionPair {
  std::string_view line;
  std::string_view train;
  int32_t write_line_plan = 0;
};

DescriptionPair split_pair(const uint8_t* data, size_t size);

// A compile state named like the embedded scenario, before any parse.
CompileState named_state();

}  // namespace scenario::fuzz

#endif  // SCENARIO_FUZZ_FUZZ_INPUT_H_
