// scenario_tool check and init, run as their own program on files in a temporary folder.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>
#include <string>

#include "tests/test_support.h"

namespace scenario {
namespace {

using nlohmann::json;
using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;
using testing::run_split;
using testing::tool;

constexpr const char* kLineName = "MorvellaC_DrasconaX_linea.txt";
constexpr const char* kTrainName = "MorvellaC_DrasconaX_5521-.txt";


class CheckCommandTest : public ::testing::Test {
 protected:
  CheckCommandTest() : line(folder.file("line.txt")), train(folder.file("train-.txt")) {}

  // Two mistakes: a misspelled keyword in the line and a station off the 50 m grid in the train.
  void write_faulty() {
    write_whole_file(line, "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\npendenz, 100, 1\r\n[fine]\r\n");
    write_whole_file(train,
                     "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 90\r\n"
                     "stazione,  1025, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n[fine]\r\n");
  }
  int check(const std::string& extra, std::string* output) {
    return run_split(tool() + " check --line '" + line + "' --train '" + train + "' " + extra, output, nullptr);
  }

  TempFolder folder;
  std::string line;
  std::string train;
};

TEST_F(CheckCommandTest, InitWritesTheEmbeddedDescriptionsWhichCheckCleanAndCompile) {
  const std::string start = folder.file("start");
  std::string output;
  ASSERT_EQ(run_command(tool() + " init '" + start + "'", &output), 0) << output;
  line = start + "/" + kLineName;
  train = start + "/" + kTrainName;
  // The same bytes as the program writes before compiling (CR LF, code page 1252).
  EXPECT_EQ(read_whole_file(line), read_whole_file(std::string(SCENARIO_SOURCE_DIR) + "/fuzz/corpus/line/embedded_linea.txt"));
  EXPECT_EQ(read_whole_file(train), read_whole_file(std::string(SCENARIO_SOURCE_DIR) + "/fuzz/corpus/train/embedded-.txt"));
  EXPECT_EQ(run_command(tool() + " check --line '" + line + "' --train '" + train + "'", &output), 0);
  EXPECT_EQ(output, "");
  EXPECT_EQ(run_command(tool() + " check --werror --line '" + line + "' --train '" + train + "'", &output), 0);
  EXPECT_EQ(run_command(tool() + " compile --line '" + line + "' --train '" + train + "' --out '" + folder.file("out") +
                            "'",
                        &output),
            0)
      << output;
}

TEST_F(CheckCommandTest, InitRefusesToReplaceADescriptionUnlessForced) {
  const std::string start = folder.file("start");
  std::filesystem::create_directories(start);
  write_whole_file(start + "/" + kTrainName, "mine");
  std::string output;
  EXPECT_EQ(run_command(tool() + " init '" + start + "'", &output), 1);
  EXPECT_NE(output.find(kTrainName), std::string::npos) << output;
  EXPECT_EQ(read_whole_file(start + "/" + kTrainName), "mine");
  EXPECT_FALSE(std::filesystem::exists(start + "/" + kLineName));  // nothing written
  EXPECT_EQ(run_command(tool() + " init --force '" + start + "'", &output), 0) << output;
  EXPECT_NE(read_whole_file(start + "/" + kTrainName), "mine");
}

// The error the compile reports leads; the other findings follow by file and line.
TEST_F(CheckCommandTest, TextFormIsTheEditorsWithTheLineAndACaret) {
  write_faulty();
  std::string output;
  EXPECT_EQ(check("", &output), 1);
  EXPECT_EQ(output, train + ":4:12: error: compile error 8 at 1025 m: station position is not a multiple of 50\n"
                            "    stazione,  1025, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A\n"
                            "               ^\n" +
                        line + ":4:1: warning: unknown keyword 'pendenz': the record is passed over; did you mean "
                               "'pendenza'? [unknown-keyword]\n"
                               "    pendenz, 100, 1\n"
                               "    ^\n");
}

TEST_F(CheckCommandTest, JsonIsAnArrayOfFindings) {
  write_faulty();
  std::string output;
  EXPECT_EQ(check("--format json", &output), 1);
  const json findings = json::parse(output);
  ASSERT_TRUE(findings.is_array());
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0], json({{"file", line}, {"line", 4}, {"column", 1}, {"severity", "warning"},
                               {"code", "unknown-keyword"},
                               {"message", "unknown keyword 'pendenz': the record is passed over; did you mean "
                                           "'pendenza'?"},
                               {"position", nullptr}, {"reported", false}}));
  EXPECT_EQ(findings[1]["severity"], "error");
  EXPECT_EQ(findings[1]["reported"], true);
  EXPECT_EQ(findings[1]["code"], "8");
  EXPECT_EQ(findings[1]["position"], 1025);
  EXPECT_EQ(findings[1]["line"], 4);
  EXPECT_EQ(findings[1]["column"], 12);
}

TEST_F(CheckCommandTest, SarifHasTheRequiredFields) {
  write_faulty();
  std::string output;
  EXPECT_EQ(check("--format sarif", &output), 1);
  const json sarif = json::parse(output);
  EXPECT_EQ(sarif["version"], "2.1.0");
  EXPECT_TRUE(sarif["$schema"].is_string());
  ASSERT_EQ(sarif["runs"].size(), 1u);
  const json& run = sarif["runs"][0];
  const json& driver = run["tool"]["driver"];
  EXPECT_EQ(driver["name"], "scenario_tool");
  EXPECT_EQ(driver["version"], SCENARIO_VERSION);
  EXPECT_TRUE(driver["informationUri"].is_string());
  std::set<std::string> rule_ids;
  for (const json& rule : driver["rules"]) {
    EXPECT_TRUE(rule["shortDescription"]["text"].is_string());
    EXPECT_TRUE(rule_ids.insert(rule["id"].get<std::string>()).second) << rule["id"];
  }
  for (const char* id : {"8", "15", "25", "unknown-keyword", "field-count", "number-text", "out-of-order"}) {
    EXPECT_EQ(rule_ids.count(id), 1u) << id;
  }
  ASSERT_EQ(run["results"].size(), 2u);
  for (const json& result : run["results"]) {
    EXPECT_EQ(rule_ids.count(result["ruleId"].get<std::string>()), 1u);
    EXPECT_TRUE(result["level"] == "error" || result["level"] == "warning");
    EXPECT_TRUE(result["message"]["text"].is_string());
    const json& location = result["locations"][0]["physicalLocation"];
    EXPECT_TRUE(location["artifactLocation"]["uri"].is_string());
    EXPECT_GE(location["region"]["startLine"].get<int>(), 1);
    EXPECT_GE(location["region"]["startColumn"].get<int>(), 1);
  }
  EXPECT_EQ(run["results"][1]["ruleId"], "8");
  EXPECT_EQ(run["results"][1]["properties"]["reported"], true);
  EXPECT_FALSE(run["results"][0].contains("properties"));
  EXPECT_EQ(run["results"][1]["level"], "error");
  EXPECT_EQ(run["results"][1]["locations"][0]["physicalLocation"]["region"]["startColumn"], 12);
}

TEST_F(CheckCommandTest, ExitStatuses) {
  write_faulty();
  std::string output;
  // Warnings alone pass, unless --werror.
  write_whole_file(train, "[generale]\r\nvelocita, 0, 100\r\n[fine]\r\n");
  EXPECT_EQ(check("", &output), 0) << output;
  EXPECT_EQ(check("--werror", &output), 1) << output;
  // A description that is not there is the compile's error: 101 for the line, 25 for the train.
  EXPECT_EQ(run_command(tool() + " check --line '" + folder.file("none.txt") + "' --train '" + train + "'", &output),
            1);
  EXPECT_NE(output.find(folder.file("none.txt") + ": error: compile error 101"), std::string::npos) << output;
  EXPECT_EQ(run_command(tool() + " check --line '" + line + "' --train '" + folder.file("none-.txt") + "'", &output),
            1);
  EXPECT_NE(output.find("compile error 25: "), std::string::npos) << output;
  EXPECT_NE(output.find(folder.file("none-.txt") + " is missing"), std::string::npos) << output;
  // A file that cannot be read: 3, with its path on standard error.
  EXPECT_EQ(run_command(tool() + " check --line '" + folder.path() + "' --train '" + train + "'", &output), 3);
  // Bad usage: 64.
  EXPECT_EQ(run_command(tool() + " check --line '" + line + "'", &output), 64);
  EXPECT_EQ(check("--format xml", &output), 64);
  EXPECT_EQ(check("--encoding latin1", &output), 64);
  // No file is written.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

// UTF-8 descriptions, with and without a byte-order mark, compile to the same bytes as the code
// page 1252 one; a character the code page cannot hold is refused with its place.
TEST_F(CheckCommandTest, Utf8DescriptionsCompileAsCodePage1252) {
  const std::string body = "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\ncartello_indicatore, 1000, Sorl";
  const std::string end = "\r\n[fine]\r\n";
  write_whole_file(train, "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 90\r\n[fine]\r\n");
  const struct {
    const char* what;
    std::string bytes;
    const char* encoding;
  } cases[] = {
      {"code page 1252", body + "\xEC" + end, "auto"},
      {"UTF-8", body + "\xC3\xAC" + end, "auto"},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + body + "\xC3\xAC" + end, "auto"},
      {"UTF-8 named", body + "\xC3\xAC" + end, "utf-8"},
  };
  std::string expected;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write_whole_file(line, c.bytes);
    const std::string out = folder.file(std::string("out-") + c.encoding + std::to_string(c.bytes.size()));
    std::string output;
    ASSERT_EQ(run_command(tool() + " compile --encoding " + c.encoding + " --line '" + line + "' --train '" + train +
                              "' --out '" + out + "'",
                          &output),
              0)
        << output;
    const std::string sim = read_whole_file(out + "/MorvellaC_DrasconaX_5521.sim");
    EXPECT_NE(sim.find("Sorl\xEC"), std::string::npos);
    if (expected.empty()) expected = sim;
    EXPECT_EQ(sim, expected);
    EXPECT_EQ(check("--encoding " + std::string(c.encoding), &output), 0) << output;
  }

  // A c with acute accent (U+0107) has no code-page-1252 byte: refused at line 4, column 32.
  write_whole_file(line, "\xEF\xBB\xBF" + body + "\xC4\x87" + end);
  std::string output;
  EXPECT_EQ(run_command(tool() + " compile --line '" + line + "' --train '" + train + "' --out '" +
                            folder.file("refused") + "'",
                        &output),
            3);
  EXPECT_EQ(output.substr(0, output.find('\n')),
            line + ":4:32: error: the character U+0107 has no place in code page 1252, the descriptions' encoding");
  EXPECT_FALSE(std::filesystem::exists(folder.file("refused") + "/MorvellaC_DrasconaX_5521.sim"));
  EXPECT_EQ(check("--format json", &output), 1);
  const json findings = json::parse(output);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0]["code"], "encoding");
  EXPECT_EQ(findings[0]["line"], 4);
  EXPECT_EQ(findings[0]["column"], 32);
  // Named as code page 1252, the same bytes are taken as they are.
  EXPECT_EQ(check("--encoding cp1252", &output), 0) << output;
}

}  // namespace
}  // namespace scenario
