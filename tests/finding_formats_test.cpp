#include "cli/finding_formats.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace scenario {
namespace {

using nlohmann::json;

CheckFinding warning_at(const std::string& file, int line, std::string message = "a record the compile passes over") {
  CheckFinding finding;
  finding.severity = Severity::kWarning;
  finding.code = "ignored-record";
  finding.message = std::move(message);
  finding.place = SourcePlace{file, line, 1, "x", 0};
  return finding;
}

TEST(ValidUtf8Test, EveryByteOutsideACharacterBecomesOneReplacementCharacter) {
  const std::string r = "\xEF\xBF\xBD";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain/path.txt", "plain/path.txt"},
      {"Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x9A\x82", "Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x9A\x82"},
      {"caf\xE9.txt", "caf" + r + ".txt"},  // code page 1252
      {"\xC3", r},                          // cut short
      {"\xC0\xAF", r + r},                  // overlong
      {"\xED\xA0\x80", r + r + r},          // a surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // past U+10FFFF
      {"\xE2\x82", r + r},                  // cut short
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(valid_utf8(bytes), expected) << bytes;
}

TEST(SarifUriTest, RelativePathsStayRelativeAndAbsoluteOnesAreFileUris) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"line.txt", "line.txt"},
      {"in dir/l#1?.txt", "in%20dir/l%231%3F.txt"},
      {"/tmp/a b/l\xE9.txt", "file:///tmp/a%20b/l%E9.txt"},
      {"/x/100%.txt", "file:///x/100%25.txt"},
      {"C:\\Users\\Zo\xC3\xAB\\l.txt", "file:///C:/Users/Zo%C3%AB/l.txt"},
      {"\\\\host\\share\\l.txt", "file://host/share/l.txt"},
      {"sub\\l.txt", "sub%5Cl.txt"},
  };
  for (const auto& [path, uri] : cases) EXPECT_EQ(sarif_uri(path), uri) << path;
}

// Five findings of a.txt (the last the one the compile reports) and two of b.txt, at most two of
// each file: the reported one and the first two of a.txt, both of b.txt.
std::vector<CheckFinding> capped_case() {
  std::vector<CheckFinding> findings;
  for (int line = 1; line <= 4; ++line) findings.push_back(warning_at("a.txt", line));
  CheckFinding reported = warning_at("a.txt", 9);
  reported.severity = Severity::kError;
  reported.code = "16";
  reported.message = "signal on a cell already taken";
  reported.reported = true;
  findings.push_back(reported);
  findings.push_back(warning_at("b.txt", 1));
  findings.push_back(warning_at("b.txt", 2));
  return findings;
}

TEST(FindingFormatsTest, TheTextFormShowsAtMostNOfEachFileThenHowManyMore) {
  std::ostringstream out;
  const FindingsNotShown not_shown = write_findings_text(out, capped_case(), 2);
  EXPECT_EQ(not_shown, (FindingsNotShown{{"a.txt", 2}}));
  const std::string text = out.str();
  std::vector<std::string> heads;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with(" ")) heads.push_back(line);
  }
  EXPECT_EQ(heads, (std::vector<std::string>{
                       "a.txt:9:1: error: compile error 16: signal on a cell already taken",
                       "a.txt:1:1: warning: a record the compile passes over [ignored-record]",
                       "a.txt:2:1: warning: a record the compile passes over [ignored-record]",
                       "b.txt:1:1: warning: a record the compile passes over [ignored-record]",
                       "b.txt:2:1: warning: a record the compile passes over [ignored-record]",
                       "a.txt: 2 more findings not shown",
                   }))
      << text;
  std::ostringstream all;
  EXPECT_TRUE(write_findings_text(all, capped_case(), 0).empty());
  EXPECT_EQ(all.str(), findings_text(capped_case()));
}

TEST(FindingFormatsTest, JsonAndSarifAreValidWhateverTheBytesAndShowTheSameFindings) {
  std::vector<CheckFinding> findings = capped_case();
  findings[5].place.file = findings[6].place.file = "caf\xE9/l.txt";
  findings[1].message = "a field: " + std::string(1000, 'x');
  std::ostringstream json_out;
  EXPECT_EQ(write_findings_json(json_out, findings, 2), (FindingsNotShown{{"a.txt", 2}}));
  const json array = json::parse(json_out.str());
  ASSERT_EQ(array.size(), 5u);
  EXPECT_EQ(array[3]["file"], "caf\xEF\xBF\xBD/l.txt");
  EXPECT_EQ(array[1]["message"].get<std::string>().size(), kMaxMessageBytes + 3);
  EXPECT_EQ(array[2]["reported"], true);

  std::ostringstream sarif_out;
  EXPECT_EQ(write_findings_sarif(sarif_out, findings, 2), (FindingsNotShown{{"a.txt", 2}}));
  const json sarif = json::parse(sarif_out.str());
  const json& run = sarif["runs"][0];
  ASSERT_EQ(run["results"].size(), 5u);
  EXPECT_EQ(run["results"][3]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"], "caf%E9/l.txt");
  EXPECT_EQ(run["properties"]["findingsNotShown"], 2);
  EXPECT_GT(run["tool"]["driver"]["rules"].size(), 20u);

  std::ostringstream empty_json;
  write_findings_json(empty_json, {}, 2);
  EXPECT_EQ(empty_json.str(), "[]\n");
  std::ostringstream empty_sarif;
  write_findings_sarif(empty_sarif, {}, 2);
  EXPECT_TRUE(json::parse(empty_sarif.str())["runs"][0]["results"].empty());
}

// A long message is cut at a character boundary: never inside a UTF-8 character.
TEST(FindingFormatsTest, ALongMessageIsCutBetweenCharacters) {
  std::vector<CheckFinding> findings = {warning_at("a.txt", 1, "x" + std::string(300, '\xC3'))};
  for (size_t k = 2; k < findings[0].message.size(); k += 2) findings[0].message[k] = '\xA8';  // è
  std::ostringstream out;
  write_findings_json(out, findings);
  const std::string message = json::parse(out.str())[0]["message"];
  std::string expected = "x";
  for (int k = 0; k < 119; ++k) expected += "\xC3\xA8";
  EXPECT_EQ(message, expected + "...");
}

}  // namespace
}  // namespace scenario
