#include "fuzz/fuzz_input.h"

#include <algorithm>

#include "format/file_names.h"

namespace scenario::fuzz {

DescriptionPair split_pair(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t without_plan = input.find(kPairSeparator);
  const size_t with_plan = input.find(kPairSeparatorWithPlan);
  if (without_plan == std::string_view::npos && with_plan == std::string_view::npos) return {input, {}, 0};
  const bool plan = without_plan == std::string_view::npos ||
                    (with_plan != std::string_view::npos && with_plan < without_plan);
  const size_t at = plan ? with_plan : without_plan;
  const size_t separator_size = plan ? kPairSeparatorWithPlan.size() : kPairSeparator.size();
  return {input.substr(0, at), input.substr(at + separator_size), plan ? 1 : 0};
}

CompileState named_state() {
  CompileState state;
  state.line_name = kEmbeddedLineName;
  state.train_number = kEmbeddedTrainNumber;
  return state;
}

}  // namespace scenario::fuzz
