#include "fuzz/fuzz_input.h"

#include "compiler/file_names.h"

namespace scenario::fuzz {

std::pair<std::string_view, std::string_view> split_pair(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t separator = input.find(kPairSeparator);
  if (separator == std::string_view::npos) return {input, std::string_view()};
  return {input.substr(0, separator), input.substr(separator + kPairSeparator.size())};
}

CompileState named_state() {
  CompileState state;
  state.line_name = kEmbeddedLineName;
  state.train_number = kEmbeddedTrainNumber;
  return state;
}

}  // namespace scenario::fuzz
