// The editors' highlighting grammar (editors/scenario-description.tmLanguage.json) against the
// record kinds and the parsers: it is valid JSON, its record keywords are exactly the writer's,
// and each of them is a keyword the parsers read.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "compiler/description_check.h"
#include "description/record_kinds.h"
#include "format/file_names.h"
#include "tests/compiled_scenario.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using nlohmann::json;

json grammar() {
  return json::parse(testing::read_whole_file(SCENARIO_SOURCE_DIR "/editors/scenario-description.tmLanguage.json"));
}

TEST(EditorGrammarTest, IsATextMateGrammarWhoseKeywordsAreTheWriters) {
  const json rules = grammar();
  EXPECT_EQ(rules.at("scopeName"), "source.scenario-description");
  for (const char* part : {"section", "station", "board", "record", "number"}) {
    EXPECT_TRUE(rules.at("repository").contains(part)) << part;
  }
  // The record rule begins with the group of keywords: "^\\s*(a|b|...)\\s*(?=,)".
  const std::string begin = rules.at("repository").at("record").at("begin").get<std::string>();
  ASSERT_TRUE(begin.starts_with("^\\s*(")) << begin;
  const size_t open = begin.find('(');
  const std::string group = begin.substr(open + 1, begin.find(')', open) - open - 1);
  std::set<std::string> alternatives;
  for (size_t at = 0, bar; at <= group.size(); at = bar + 1) {
    bar = group.find('|', at);
    if (bar == std::string::npos) bar = group.size();
    alternatives.insert(group.substr(at, bar - at));
  }
  // The writer's keywords, the curves' side and class and the repetition's number of codes as
  // patterns.
  std::set<std::string> expected;
  for (const RecordKind& kind : record_kinds()) {
    const std::string keyword = kind.keyword;
    expected.insert(keyword == "curva"                          ? "curva[sd][0-9]"
                    : keyword == "ripetizione segnali 4 codici" ? "ripetizione segnali [0-9]+ codici"
                                                                : keyword);
  }
  EXPECT_EQ(alternatives, expected);
}

// Each keyword, written into the embedded descriptions, is read by the parsers: the check finds no
// unknown keyword on its line.
TEST(EditorGrammarTest, EveryKeywordIsOneTheParsersRead) {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  for (const RecordKind& kind : record_kinds()) {
    const std::string keyword = kind.keyword == std::string("curva") ? "curvad1" : kind.keyword;
    SCOPED_TRACE(keyword);
    std::string line = testing::embedded_line_description();
    std::string train = testing::embedded_train_description();
    std::string& text = kind.description == DescriptionKind::kLine ? line : train;
    const size_t end = text.rfind("[fine]");
    text.insert(end, keyword + ",  1\r\n");
    const int inserted_line = static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n')) + 1;
    const std::vector<CheckFinding> findings = check_descriptions(Description{names.line_description, true, line},
                                                                  Description{names.train_description, true, train});
    for (const CheckFinding& finding : findings) {
      if (finding.place.line != inserted_line) continue;
      EXPECT_NE(finding.code, "unknown-keyword") << finding.message;
    }
    // And a word that is none is reported there.
    text.replace(end, keyword.size(), "nessuno");
    bool unknown = false;
    for (const CheckFinding& finding : check_descriptions(Description{names.line_description, true, line},
                                                          Description{names.train_description, true, train})) {
      unknown = unknown || (finding.place.line == inserted_line && finding.code == "unknown-keyword");
    }
    EXPECT_TRUE(unknown);
  }
}

}  // namespace
}  // namespace scenario
