// Arbitrary bytes as a (line, train) pair of descriptions (see fuzz_input.h) through the check of
// descriptions, the decoding of UTF-8 descriptions and the text form of every finding.
//
// Beyond the sanitizers: the check finds an error exactly when the compile (with or without the
// plan of the line, as the input says, and the check likewise) ends with one, since both read the same way up to the first error;
// the findings are ordered by file, line and column; every finding with a line has a column and
// a caret on its line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/description_check.h"
#include "compiler/error_catalogue.h"
#include "description/description_text.h"
#include "format/file_names.h"
#include "format/output_sink.h"
#include "fuzz/fuzz_input.h"

namespace {

void require(bool condition) {
  if (!condition) __builtin_trap();
}

// The file's rank in the order findings are sorted by.
int rank(const scenario::CheckFinding& finding, const scenario::ScenarioFileNames& names) {
  if (finding.place.file == names.line_description) return 0;
  if (finding.place.file == names.train_description) return 1;
  return 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const scenario::fuzz::DescriptionPair pair = scenario::fuzz::split_pair(data, size);
  scenario::CompileState state = scenario::fuzz::named_state();
  const scenario::ScenarioFileNames names = scenario::scenario_file_names(state.line_name, state.train_number);

  // Both descriptions also go through the UTF-8 decoding, which never fails on what it takes
  // for code page 1252.
  const scenario::DescriptionText line_text =
      scenario::decode_description(pair.line, scenario::TextEncoding::kAuto, names.line_description);
  if (!line_text.was_utf8) require(line_text.ok && line_text.bytes == pair.line);
  if (!line_text.ok) require(line_text.place.line >= 1 && line_text.place.column >= 1);

  const scenario::Description line{names.line_description, true, std::string(pair.line)};
  const scenario::Description train{names.train_description, true, std::string(pair.train)};
  const std::vector<scenario::CheckFinding> findings = scenario::check_descriptions(line, train, pair.write_line_plan != 0);

  size_t errors = 0;
  size_t reported = 0;
  for (size_t i = 0; i < findings.size(); ++i) {
    const scenario::CheckFinding& finding = findings[i];
    if (finding.severity == scenario::Severity::kError) ++errors;
    if (finding.reported) {
      require(finding.severity == scenario::Severity::kError);
      ++reported;
    }
    if (finding.place.known()) {
      require(finding.place.column >= 1);
      require(finding.place.caret >= 0 && static_cast<size_t>(finding.place.caret) <= finding.place.line_text.size());
    }
    require(!scenario::editor_line(finding.place, "warning", finding.message).empty());
    scenario::source_excerpt(finding.place);
    if (i > 0) {
      const scenario::CheckFinding& before = findings[i - 1];
      const int rank_before = rank(before, names);
      const int rank_now = rank(finding, names);
      require(rank_before < rank_now || (rank_before == rank_now && before.place.line <= finding.place.line));
    }
  }

  // Check reports an error exactly when the compile ends with one (its error or its fatal report),
  // and marks the one the compile reports, with its number.
  const scenario::CompileResult result = scenario::compile(state, pair.write_line_plan != 0, line, train);
  const bool compile_failed = state.error().ErrorCode != 0 || result.fatal != 0;
  require(compile_failed == (errors != 0));
  require(reported == (compile_failed ? 1u : 0u));
  for (const scenario::CheckFinding& finding : findings) {
    if (!finding.reported) continue;
    require(finding.code == std::to_string(result.fatal != 0 ? result.fatal : state.error().ErrorCode));
  }
  return 0;
}
