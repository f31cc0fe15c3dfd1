// How the fuzz targets turn one input of bytes into description texts.
//
// The whole-compile target needs two descriptions from one input: the bytes before the first
// kPairSeparator line are the line description, the bytes after it the train description. An
// input without the separator is a line description alone with an empty train description. The
// seed files of that target are written the same way, so that mutations start from a valid pair.
#ifndef SCENARIO_FUZZ_FUZZ_INPUT_H_
#define SCENARIO_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "compiler/track_model.h"

namespace scenario::fuzz {

inline constexpr std::string_view kPairSeparator = "\n%%train%%\n";

// (line description, train description) of one input.
std::pair<std::string_view, std::string_view> split_pair(const uint8_t* data, size_t size);

// A compile state named like the embedded scenario, before any parse.
CompileState named_state();

}  // namespace scenario::fuzz

#endif  // SCENARIO_FUZZ_FUZZ_INPUT_H_
