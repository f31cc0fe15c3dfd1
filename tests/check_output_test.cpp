// scenario_tool check on inputs that give many findings or whose paths are not UTF-8: the output
// stays bounded and valid.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>

#include "cli/finding_formats.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using nlohmann::json;
using testing::run_split;
using testing::TempFolder;
using testing::tool;
using testing::write_whole_file;

// A train description of 2,000 lines that each give a finding.
std::string junk_train() {
  std::string text = "[generale]\r\n";
  for (int k = 0; k < 2000; ++k) text += "x\r\n";
  return text;
}

class CheckOutputTest : public ::testing::Test {
 protected:
  CheckOutputTest() {
    write_whole_file(line, "[generale]\r\nlunghezza percorso, 10000\r\n[fine]\r\n");
    write_whole_file(train, junk_train());
  }
  int check(const std::string& extra, std::string* out, std::string* err) {
    return run_split(tool() + " check --line '" + line + "' --train '" + train + "' " + extra, out, err);
  }

  TempFolder folder;
  std::string line = folder.file("line.txt");
  std::string train = folder.file("caf\xE9 train-.txt");  // a code-page-1252 name, not UTF-8
};

TEST_F(CheckOutputTest, FindingsOfAFileAreCappedAndTheRestCounted) {
  std::string out;
  std::string err;
  const int all_status = check("--max-findings 0 --format json", &out, &err);
  const size_t all = json::parse(out).size();
  ASSERT_GT(all, 1000u);

  EXPECT_EQ(check("--max-findings 10", &out, &err), all_status);
  size_t heads = 0;
  for (size_t at = 0; (at = out.find(": warning: ", at)) != std::string::npos; ++at) ++heads;
  for (size_t at = 0; (at = out.find(": error: ", at)) != std::string::npos; ++at) ++heads;
  EXPECT_LE(heads, 12u) << out;  // ten of the train and those of the line (and the reported error)
  const std::string tail = ": " + std::to_string(all - heads) + " more findings not shown\n";
  EXPECT_TRUE(out.ends_with(tail)) << out.substr(out.size() > 400 ? out.size() - 400 : 0);

  EXPECT_EQ(check("--max-findings 10 --format json", &out, &err), all_status);
  EXPECT_EQ(json::parse(out).size(), heads);
  EXPECT_NE(err.find(" more findings not shown (--max-findings 10)\n"), std::string::npos) << err;

  EXPECT_EQ(check("", &out, &err), all_status);  // the default cap
  EXPECT_LT(out.size(), kDefaultMaxFindings * 200) << "more findings than the default cap";
}

TEST_F(CheckOutputTest, JsonAndSarifOfAPathThatIsNotUtf8AreValid) {
  std::string out;
  std::string err;
  EXPECT_EQ(check("--max-findings 3 --format json", &out, &err), 0) << err;
  bool replaced = false;
  for (const json& finding : json::parse(out)) {
    replaced = replaced || finding["file"].get<std::string>().find("caf\xEF\xBF\xBD train-.txt") != std::string::npos;
  }
  EXPECT_TRUE(replaced) << out;

  EXPECT_EQ(check("--max-findings 3 --format sarif", &out, &err), 0) << err;
  const json sarif = json::parse(out);
  const std::string uri =
      sarif["runs"][0]["results"].back()["locations"][0]["physicalLocation"]["artifactLocation"]["uri"];
  EXPECT_TRUE(uri.starts_with("file:///")) << uri;
  EXPECT_TRUE(uri.ends_with("/caf%E9%20train-.txt")) << uri;
}

}  // namespace
}  // namespace scenario
