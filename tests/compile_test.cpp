#include "scenario/compile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/compile.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "format/output_sink.h"
#include "scenario/text_writers.h"

namespace scenario {
namespace {

const ScenarioFileNames kNames = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);

CompileRequest embedded_request() {
  MemorySink texts;
  EXPECT_TRUE(dati_linea(texts, kNames).ok());
  EXPECT_TRUE(dati_treno(texts, kNames).ok());
  CompileRequest request;
  request.line_description = texts.files.at(kNames.line_description);
  request.train_description = texts.files.at(kNames.train_description);
  return request;
}

CompileRequest small_request(const std::string& train_records) {
  CompileRequest request;
  request.line_description = "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[fine]\r\n";
  request.train_description = "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 90\r\n" + train_records + "[fine]\r\n";
  return request;
}

TEST(CompileScenario, GivesTheBytesTheProgramWrites) {
  const CompileRequest request = embedded_request();
  CompileState state;
  state.line_name = kEmbeddedLineName;
  state.train_number = kEmbeddedTrainNumber;
  MemorySink expected;
  ASSERT_TRUE(compile(state, true, Description{"l", true, request.line_description},
                      Description{"t", true, request.train_description})
                  .has_model());
  ASSERT_TRUE(write_outputs(state, kNames, expected).ok());

  const CompiledScenario compiled = compile_scenario(request);
  EXPECT_TRUE(compiled.clean()) << compiled.error.message;
  EXPECT_EQ(compiled.error.message, "");
  EXPECT_EQ(compiled.track_cells, expected.files.at(kNames.track_cells));
  EXPECT_EQ(compiled.scenario_record, expected.files.at(kNames.scenario_record));
  EXPECT_EQ(compiled.line_record, expected.files.at(kNames.line_record));

  CompileRequest without_plan = request;
  without_plan.line_plan = false;
  const CompiledScenario planless = compile_scenario(without_plan);
  EXPECT_TRUE(planless.clean());
  EXPECT_EQ(planless.line_record, "");
  EXPECT_EQ(planless.track_cells, compiled.track_cells);
}

TEST(CompileScenario, NamesGoIntoTheScenarioRecordInCodePage1252) {
  CompileRequest request = small_request("");
  request.line_name = "Città";
  request.train_number = "42";
  const CompiledScenario compiled = compile_scenario(request);
  ASSERT_TRUE(compiled.clean()) << compiled.error.message;
  EXPECT_NE(compiled.scenario_record.find(std::string("\x05\x00" "Citt\xe0", 7)), std::string::npos);
  EXPECT_NE(compiled.scenario_record.find(std::string("\x02\x00" "42", 4)), std::string::npos);
}

// The error record of each way a compile can end badly: what it says, and whether the files are made.
TEST(CompileScenario, ErrorRecordSaysWhatWhereAndWhetherFilesWereMade) {
  struct Case {
    const char* name;
    CompileRequest request;
    int code;
    int position;
    int fatal;
    std::string place;  // FILE:LINE:COLUMN, "" when no record caused it
    bool has_files;
    std::string message_start;
  };
  CompileRequest named = small_request("segnale, 100, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n");
  named.train_file_name = "my-train.txt";
  CompileRequest no_length = small_request("");
  no_length.line_description = "[generale]\r\n[fine]\r\n";
  const std::vector<Case> cases = {
      {"compile error, default file name", small_request("segnale, 100, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n"), 16, 100, 0,
       kNames.train_description + ":4:1", true, "compile error 16 at 100 m: signal on a cell already taken"},
      {"compile error, the caller's file name", named, 16, 100, 0, "my-train.txt:4:1", true,
       "compile error 16 at 100 m: signal on a cell already taken"},
      {"fatal report",
       small_request("abbattimento, 150, 0\r\nabbattimento, 100, 0\r\nrallentamento, 350, 30, 500, 0, 0, 0\r\n"), 0, 0,
       1250, "", false, " Errore n. 1250"},
      {"no track model", no_length, 104, 0, 0, kNames.line_description + ":1:1", false, "compile error 104"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CompiledScenario compiled = compile_scenario(c.request);
    const CompileError& error = compiled.error;
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.position, c.position);
    EXPECT_EQ(error.has_position, c.position != 0);
    EXPECT_EQ(error.fatal, c.fatal);
    const std::string place =
        error.file.empty() ? "" : error.file + ":" + std::to_string(error.line) + ":" + std::to_string(error.column);
    EXPECT_EQ(place, c.place);
    EXPECT_EQ(compiled.has_files(), c.has_files);
    EXPECT_FALSE(compiled.clean());
    EXPECT_EQ(compiled.scenario_record.empty(), !c.has_files);
    // The report leads with the record's place in the editor form, as scenario_tool's does.
    const std::string first_line = place.empty() ? c.message_start : place + ": error: " + c.message_start;
    EXPECT_EQ(error.message.substr(0, first_line.size()), first_line) << error.message;
    if (!c.has_files && c.fatal == 0) {
      EXPECT_NE(error.message.find("no track model"), std::string::npos) << error.message;
    }
  }
}

TEST(CompileScenario, VersionIsTheProjects) { EXPECT_STREQ(version(), SCENARIO_VERSION); }

}  // namespace
}  // namespace scenario
