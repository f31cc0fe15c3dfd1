// scenario_tool compile, run as its own program on description files in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "disk/file_replace.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "scenario/text_writers.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::files_in;
using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;
using testing::exists;
using testing::tool;

const ScenarioFileNames kNames = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);



class ScenarioToolTest : public ::testing::Test {
 protected:
  ScenarioToolTest() {
    line_path = folder.file("line.txt");
    train_path = folder.file("train.txt");
    out = folder.file("out");
  }

  // The descriptions under the names the program gives them, which carry the line name and the
  // train number.
  void use_standard_names() {
    line_path = folder.file(kNames.line_description);
    train_path = folder.file(kNames.train_description);
  }

  // The embedded scenario's two descriptions, written by the program's own writers.
  void write_embedded_descriptions() {
    MemorySink texts;
    ASSERT_TRUE(dati_linea(texts, kNames).ok());
    ASSERT_TRUE(dati_treno(texts, kNames).ok());
    write_whole_file(line_path, texts.files.at(kNames.line_description));
    write_whole_file(train_path, texts.files.at(kNames.train_description));
  }
  void write_small_descriptions(const std::string& train_records) {
    write_whole_file(line_path, "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[fine]\r\n");
    write_whole_file(train_path, "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 90\r\n" + train_records + "[fine]\r\n");
  }

  int compile(const std::string& extra, std::string* output) {
    return run_command(tool() + " compile --line '" + line_path + "' --train '" + train_path + "' --out '" + out +
                           "' " + extra,
                       output);
  }

  TempFolder folder;
  std::string line_path;
  std::string train_path;
  std::string out;
};

TEST_F(ScenarioToolTest, HelpOnBothLevels) {
  std::string output;
  EXPECT_EQ(run_command(tool() + " --help", &output), 0);
  for (const char* command : {"compile", "dump", "render", "--version"}) {
    EXPECT_NE(output.find(command), std::string::npos) << command;
  }
  EXPECT_EQ(run_command(tool() + " compile --help", &output), 0);
  for (const char* option :
       {"--line", "--train", "--out", "--line-name", "--train-number", "--no-plan", "-v,--verbose", "Exit status"}) {
    EXPECT_NE(output.find(option), std::string::npos) << option;
  }
  std::string short_form;
  EXPECT_EQ(run_command(tool() + " compile -h", &short_form), 0);
  EXPECT_EQ(short_form, output);
}

TEST_F(ScenarioToolTest, VersionIsTheProjectsOnStandardOutput) {
  std::string printed;
  EXPECT_EQ(run_command("(" + tool() + " --version 2>" + folder.file("err.txt") + ")", &printed), 0);
  EXPECT_EQ(printed, std::string("scenario_tool ") + SCENARIO_VERSION + "\n");
  EXPECT_EQ(read_whole_file(folder.file("err.txt")), "");
}

// A usage error is exactly one line saying what is wrong, then a pointer to the command's --help,
// on standard error, with status 64 and nothing done.
TEST_F(ScenarioToolTest, BadUsageIsStatus64WithOneLineAndAPointerToHelp) {
  struct Case {
    std::string args;
    std::string command;  // the command whose --help the message points to
    std::string says;
  };
  for (const Case& c : std::vector<Case>{
           {"", "scenario_tool", "no command given"},
           {"bogus --line a", "scenario_tool", "unknown command 'bogus'"},
           {"chek --line a", "scenario_tool", "unknown command 'chek'; did you mean 'check'?"},
           {"dupm x.dat", "scenario_tool", "unknown command 'dupm'; did you mean 'dump'?"},
           {"--bogus", "scenario_tool", "unknown option '--bogus'"},
           {"compile", "scenario_tool compile", "--line is required"},
           {"compile --line a --train b", "scenario_tool compile", "--out is required"},
           {"compile --line a --train b --out c --bogus", "scenario_tool compile",
            "The following argument was not expected: --bogus"},
           {"compile --line a --train b --out", "scenario_tool compile", "--out: 1 required DIR missing"},
           {"compile --line a --line b --train c --out d", "scenario_tool compile",
            "--line: At Most 1 required but received 2"},
           {"compile --line a --train b --out c --line-name x/y", "scenario_tool compile",
            "--line-name: 'x/y' must not hold a path separator"},
           {"compile --line a --train b --out c --train-number ''", "scenario_tool compile",
            "--train-number: needs a value"},
           {"compile --train b --out c --line=", "scenario_tool compile", "--line: 1 required FILE missing"},
           {"compile --line a --train b --out c --line-name 'a\tb'", "scenario_tool compile",
            "--line-name: must not hold a control character"},
           {"compile --line a --train b --out c --train-number '55\xC2\x85'", "scenario_tool compile",
            "--train-number: must not hold a control character"},
           {"compile --line a --train b --out c --line-name 'Linea \xCE\xA9'", "scenario_tool compile",
            "--line-name: 'Linea \xCE\xA9' holds a character code page 1252 cannot hold (U+03A9), and the name is "
            "written in it"},
           {"decompile --dat a --sim b --out c --line-name 'Forl\xEC'", "scenario_tool decompile",
            "--line-name: is not UTF-8 text"},
           {"compile --line a --train b --out=c --line-name=a\\\\b", "scenario_tool compile",
            "--line-name: 'a\\b' must not hold a path separator"},
           {"dump --step=0 x.dat", "scenario_tool dump", "--step: needs a whole number of metres, 1 or more, not '0'"},
           {"render --dat a --sim b", "scenario_tool render", "--out is required"},
       }) {
    SCOPED_TRACE(c.args);
    std::string printed;
    EXPECT_EQ(run_command("(" + tool() + " " + c.args + " 2>" + folder.file("err.txt") + ")", &printed), 64);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(read_whole_file(folder.file("err.txt")),
              c.command + ": " + c.says + "\nRun '" + c.command + " --help' for more information.\n");
  }
  EXPECT_FALSE(exists(folder.file("c")));
  EXPECT_FALSE(exists(folder.file("d")));
}

// --opt=VALUE is --opt VALUE, -v is --verbose, and options come in any order.
TEST_F(ScenarioToolTest, OptionsTakeTheirValueAfterAnEqualsSignToo) {
  write_small_descriptions("");
  std::string output;
  ASSERT_EQ(run_command(tool() + " compile --out=" + out + " -v --train=" + train_path + " --line-name=L --line=" +
                            line_path + " --train-number=9 --no-plan",
                        &output),
            0)
      << output;
  EXPECT_EQ(files_in(out), (std::vector<std::string>{"L_9.dat", "L_9.sim"}));
  EXPECT_NE(output.find("scenario_tool compile: read " + line_path), std::string::npos) << output;

  std::string separate;
  ASSERT_EQ(run_command(tool() + " dump " + out + "/L_9.sim --format json", &separate), 0) << separate;
  std::string joined;
  ASSERT_EQ(run_command(tool() + " dump --format=json " + out + "/L_9.sim", &joined), 0) << joined;
  EXPECT_EQ(joined, separate);
  EXPECT_NE(joined.find("\"file\": \"scenario record\""), std::string::npos);
}

TEST_F(ScenarioToolTest, CompilesTheEmbeddedScenarioLikeTheProgramAndLeavesTheInputsAlone) {
  use_standard_names();
  write_embedded_descriptions();
  const std::string line_before = read_whole_file(line_path);
  const std::string train_before = read_whole_file(train_path);
  std::string output;
  ASSERT_EQ(compile("", &output), 0) << output;
  EXPECT_EQ(output, "");  // silent on success
  EXPECT_EQ(read_whole_file(line_path), line_before);
  EXPECT_EQ(read_whole_file(train_path), train_before);
  EXPECT_EQ(files_in(out), (std::vector<std::string>{kNames.track_cells, kNames.scenario_record, kNames.line_record}));

  // The same bytes as the compile the program runs.
  CompileState state;
  state.line_name = kEmbeddedLineName;
  state.train_number = kEmbeddedTrainNumber;
  MemorySink expected;
  const CompileResult result =
      scenario::compile(state, true, Description{"l", true, line_before}, Description{"t", true, train_before});
  ASSERT_TRUE(write_outputs(state, kNames, expected).ok());
  ASSERT_EQ(state.error().ErrorCode, 0);
  ASSERT_EQ(result.fatal, 0);
  for (const auto& [name, bytes] : expected.files) {
    EXPECT_EQ(read_whole_file(out + "/" + name), bytes) << name;
  }
}

TEST_F(ScenarioToolTest, NamesFromTheCommandLineNameTheFilesAndFillTheStationTable) {
  write_small_descriptions("");
  std::string output;
  ASSERT_EQ(compile("--no-plan --line-name Città --train-number 42", &output), 0) << output;
  EXPECT_EQ(files_in(out), (std::vector<std::string>{"Città_42.dat", "Città_42.sim"}));
  const std::string sim = read_whole_file(out + "/Città_42.sim");
  // Entry 85 holds the line name in code page 1252: one byte for "à", counted once.
  EXPECT_NE(sim.find(std::string("\x05\x00" "Citt\xe0", 7)), std::string::npos);
  EXPECT_NE(sim.find(std::string("\x02\x00" "42", 4)), std::string::npos);
}

TEST_F(ScenarioToolTest, CompileErrorIsStatus1WithThePlaceAndTheOutputsWritten) {
  write_small_descriptions("segnale, 100, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n");
  std::string output;
  EXPECT_EQ(compile("", &output), 1);
  EXPECT_NE(output.find(train_path + ":4:1: error: compile error 16 at 100 m: signal on a cell already taken"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("written despite the error: MorvellaC_DrasconaX_linea.dat, MorvellaC_DrasconaX_5521.sim, "
                        "MorvellaC_DrasconaX_5521.dat"),
            std::string::npos)
      << output;
  EXPECT_EQ(files_in(out).size(), 3u);
  EXPECT_TRUE(exists(line_path));
  EXPECT_TRUE(exists(train_path));
}

// A misspelled keyword compiles (the record is passed over) but check warns of it: compile prints
// the warning first, in check's form; --werror makes the status 1 with the files written, and
// --quiet-warnings hides it. The files are the same bytes whatever is printed.
TEST_F(ScenarioToolTest, CompileTellsTheChecksWarnings) {
  write_small_descriptions("stazone, 1000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n");
  const std::string warning = train_path + ":4:1: warning: unknown keyword 'stazone'";
  struct Case {
    const char* options;
    int status;
    bool warned;
  };
  std::string first_bytes;
  for (const Case& c : {Case{"", 0, true}, Case{"--werror", 1, true}, Case{"--quiet-warnings", 0, false},
                        Case{"--werror --quiet-warnings", 1, false}}) {
    SCOPED_TRACE(c.options);
    std::string output;
    EXPECT_EQ(compile(c.options, &output), c.status) << output;
    EXPECT_EQ(output.find(warning) != std::string::npos, c.warned) << output;
    if (c.warned) {
      EXPECT_NE(output.find("did you mean 'stazione'? [unknown-keyword]\n    stazone, 1000"), std::string::npos);
    }
    ASSERT_EQ(files_in(out).size(), 3u);
    const std::string bytes = read_whole_file(out + "/" + kNames.scenario_record);
    if (first_bytes.empty()) first_bytes = bytes;
    EXPECT_EQ(bytes, first_bytes);
  }
  // The embedded scenario has no warning: nothing is printed.
  use_standard_names();
  write_embedded_descriptions();
  std::string output;
  EXPECT_EQ(compile("--werror", &output), 0) << output;
  EXPECT_EQ(output, "");
}

// Without --line-name and --train-number the names come from the descriptions' file names when
// those are the standard ones; the options win; otherwise the defaults are used, and said so.
TEST_F(ScenarioToolTest, NamesComeFromTheDescriptionsFileNamesUnlessGiven) {
  struct Case {
    std::string line_file;
    std::string train_file;
    std::string options;
    std::vector<std::string> written;
    std::string said;  // on standard error
  };
  const std::string defaults =
      "scenario_tool compile: line name MorvellaC_DrasconaX (the default: no --line-name, and neither description "
      "is named LINE_linea.txt or LINE_NUM-.txt), train number 5521 (the default: no --train-number, and the train "
      "description is not named LINE_NUM-.txt)\n";
  const Case cases[] = {
      {"Valbruna_linea.txt", "Valbruna_8842-.txt", "", {"Valbruna_8842.dat", "Valbruna_8842.sim", "Valbruna_linea.dat"}, ""},
      {"line.txt", "Alto_Colle_77-.txt", "", {"Alto_Colle_77.dat", "Alto_Colle_77.sim", "Alto_Colle_linea.dat"}, ""},
      {"Valbruna_linea.txt", "Valbruna_8842-.txt", "--line-name X --train-number 9",
       {"X_9.dat", "X_9.sim", "X_linea.dat"}, ""},
      {"line.txt", "train.txt", "", {kNames.track_cells, kNames.scenario_record, kNames.line_record}, defaults},
      {"Valbruna_linea.txt", "train.txt", "",
       {"Valbruna_5521.dat", "Valbruna_5521.sim", "Valbruna_linea.dat"},
       "scenario_tool compile: line name Valbruna (from " + folder.file("Valbruna_linea.txt") +
           "), train number 5521 (the default: no --train-number, and the train description is not named "
           "LINE_NUM-.txt)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line_file + " " + c.train_file + " " + c.options);
    line_path = folder.file(c.line_file);
    train_path = folder.file(c.train_file);
    write_small_descriptions("");
    std::filesystem::remove_all(out);
    std::string said;
    EXPECT_EQ(testing::run_split(tool() + " compile --line '" + line_path + "' --train '" + train_path + "' --out '" +
                                     out + "' " + c.options,
                                 nullptr, &said),
              0);
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(files_in(out), c.written);
  }
}

TEST_F(ScenarioToolTest, MissingLineFileIsError101AndNothingIsWritten) {
  write_small_descriptions("");
  std::filesystem::remove(line_path);
  std::string output;
  EXPECT_EQ(compile("", &output), 1);
  EXPECT_NE(output.find("compile error 101"), std::string::npos) << output;
  EXPECT_TRUE(!exists(out) || files_in(out).empty());
  EXPECT_TRUE(exists(train_path));
}

TEST_F(ScenarioToolTest, UnreadableLineFileIsStatus3) {
  write_small_descriptions("");
  std::filesystem::remove(line_path);
  std::filesystem::create_directory(line_path);  // a folder cannot be read as a file
  std::string output;
  EXPECT_EQ(compile("", &output), 3);
  EXPECT_NE(output.find(line_path), std::string::npos) << output;
}

TEST_F(ScenarioToolTest, OutputFolderThatCannotBeMadeIsStatus3) {
  write_small_descriptions("");
  write_whole_file(out, "a file where the folder should be");
  std::string output;
  EXPECT_EQ(compile("", &output), 3);
}

TEST_F(ScenarioToolTest, FatalReportIsStatus2AndNoFileIsWritten) {
  write_small_descriptions("abbattimento, 150, 0\r\nabbattimento, 100, 0\r\nrallentamento, 350, 30, 500, 0, 0, 0\r\n");
  std::string output;
  EXPECT_EQ(compile("", &output), 2);
  EXPECT_NE(output.find(" Errore n. 1250"), std::string::npos) << output;
  EXPECT_TRUE(files_in(out).empty());
}

TEST_F(ScenarioToolTest, VerboseTellsWhatWasReadAndWritten) {
  write_small_descriptions("");
  std::string output;
  ASSERT_EQ(compile("--verbose", &output), 0) << output;
  EXPECT_NE(output.find("read " + line_path), std::string::npos) << output;
  EXPECT_NE(output.find("compiled: 341 cells"), std::string::npos) << output;
  EXPECT_NE(output.find("wrote " + out + "/" + kNames.track_cells + ", 5115 bytes"), std::string::npos) << output;
  EXPECT_NE(output.find(" ms)"), std::string::npos) << output;
}

}  // namespace
}  // namespace scenario
