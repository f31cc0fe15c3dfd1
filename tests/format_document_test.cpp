// doc/description-format.md lists every compile error and every warning of the check; its two
// tables are the catalogue's, row for row, so that the document cannot drift from the program.
#include <gtest/gtest.h>

#include <string>

#include "compiler/check_findings.h"
#include "compiler/error_catalogue.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

// The text between the two marker comments named `name`.
std::string between_markers(const std::string& document, const std::string& name) {
  const std::string begin = "<!-- " + name + " begin -->\n";
  const std::string end = "<!-- " + name + " end -->";
  const size_t from = document.find(begin);
  const size_t to = document.find(end);
  if (from == std::string::npos || to == std::string::npos || to < from) return "(markers " + name + " missing)";
  return document.substr(from + begin.size(), to - from - begin.size());
}

std::string error_table() {
  std::string table = "| number | with a position | what went wrong |\n|---|---|---|\n";
  for (const ErrorDescription& error : error_catalogue()) {
    table += "| " + std::to_string(error_code(error.number)) + " | " + (error.has_position ? "yes" : "no") + " | " +
             error.words + " |\n";
  }
  return table;
}

std::string warning_table() {
  std::string table = "| name | what it finds |\n|---|---|\n";
  for (const WarningKind& warning : warning_kinds()) {
    table += "| `" + std::string(warning.name) + "` | " + warning.summary + " |\n";
  }
  return table;
}

TEST(FormatDocumentTest, TablesAreTheCataloguesOwn) {
  const std::string document =
      testing::read_whole_file(std::string(SCENARIO_SOURCE_DIR) + "/doc/description-format.md");
  EXPECT_EQ(between_markers(document, "error table"), error_table());
  EXPECT_EQ(between_markers(document, "warning table"), warning_table());
}

}  // namespace
}  // namespace scenario
