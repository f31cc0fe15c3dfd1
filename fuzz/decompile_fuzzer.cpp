// Bytes as compiled files through the decompile. The first byte chooses what the rest is:
//
//  - even: a generated scenario and hand edits. Eight bytes seed the scenario generator of the
//    tests (a random valid line and train, up to 20 km), which is compiled, with the plan of the
//    line when the first byte's second bit is set (the plan costs a point per metre in every
//    compile, so most runs leave it out and run many times faster); every following three bytes are an
//    edit, a 16-bit offset into the track cells (or, past their end, the scenario record) and the
//    byte written there. Without edits the decompile must be exact; with them it must either be
//    exact or say why.
//  - odd: the three files themselves, in this order, cut at the separators kFileSeparator (the
//    line record may be left out). Files the strict decoder refuses end the run.
//
// Beyond the sanitizers: whenever the decompile says it is exact, compiling its descriptions must
// give the files byte for byte, checked here on the bytes, apart from the decompile's own proof.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decompile/decompile.h"
#include "tests/compiled_scenario.h"
#include "tests/scenario_generator.h"

namespace {

using scenario::testing::CompiledFiles;

constexpr std::string_view kFileSeparator = "\n%%file%%\n";
constexpr size_t kSeedSize = 8;
constexpr size_t kEditSize = 3;
// Lines up to 20 km keep a run short.
constexpr int32_t kLongestLine = 20000;

// Stops the run as a finding; libFuzzer keeps the input.
void require(bool condition) {
  if (!condition) __builtin_trap();
}

// Decodes the files strictly; false when one is refused.
bool decode(const CompiledFiles& files, scenario::CompileState* state) {
  std::string why;
  return scenario::testing::decode_files(files, state, &why);
}

void decompile_and_check(const CompiledFiles& files, bool must_be_exact) {
  scenario::CompileState state;
  if (!decode(files, &state)) return;
  const scenario::DecompileResult result = scenario::decompile(state);
  if (must_be_exact) require(result.exact());
  if (!result.exact()) {
    require(!result.findings.kept().empty());
    return;
  }
  const CompiledFiles again = scenario::testing::compile_in_memory(
      result.descriptions.line, result.descriptions.train, files.with_plan, state.line_name, state.train_number);
  require(again.error_code == 0);
  require(again.track_cells == files.track_cells);
  require(again.scenario_record == files.scenario_record);
  require(again.line_record == files.line_record);
}

void generated_and_edited(std::string_view input, bool with_plan) {
  if (input.size() < kSeedSize) return;
  uint64_t seed = 0;
  for (size_t i = 0; i < kSeedSize; ++i) seed = (seed << 8) | static_cast<unsigned char>(input[i]);
  const scenario::testing::GeneratedScenario scenario = scenario::testing::generate_scenario(seed, kLongestLine);
  CompiledFiles files = scenario::testing::compile_in_memory(scenario.line, scenario.train, with_plan);
  require(files.error_code == 0);
  const std::string_view edits = input.substr(kSeedSize);
  for (size_t at = 0; at + kEditSize <= edits.size(); at += kEditSize) {
    size_t offset = static_cast<size_t>(static_cast<unsigned char>(edits[at])) |
                    (static_cast<size_t>(static_cast<unsigned char>(edits[at + 1])) << 8);
    const char value = edits[at + 2];
    if (offset < files.track_cells.size()) {
      files.track_cells[offset] = value;
      continue;
    }
    offset -= files.track_cells.size();
    if (offset < files.scenario_record.size()) files.scenario_record[offset] = value;
  }
  decompile_and_check(files, edits.size() < kEditSize);
}

void raw_files(std::string_view input) {
  const size_t first = input.find(kFileSeparator);
  if (first == std::string_view::npos) return;
  CompiledFiles files;
  files.track_cells = input.substr(0, first);
  const std::string_view rest = input.substr(first + kFileSeparator.size());
  const size_t second = rest.find(kFileSeparator);
  files.scenario_record = rest.substr(0, second);
  if (second != std::string_view::npos) files.line_record = rest.substr(second + kFileSeparator.size());
  files.with_plan = !files.line_record.empty();
  decompile_and_check(files, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    generated_and_edited(input, (data[0] & 2) != 0);
  } else {
    raw_files(input);
  }
  return 0;
}
