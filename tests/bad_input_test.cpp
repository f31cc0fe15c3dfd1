// Malformed descriptions end to end: `scenario_tool compile` on each must end by itself within a
// minute, with exit status 0, 1 or 3 (never a signal or a sanitizer report), and, when it finds an
// error, say which on standard error.
//
// Each case starts from the embedded line and train descriptions and damages one of them, so that
// the rest of the input is valid and the damage is what the compiler meets. The formats read any
// text as fields and pass over the fields they do not recognise, so some damage is no error at all:
// a keyword broken by a NUL byte, or a train description without "[generale]", is simply not read.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "format/file_names.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"
#include "scenario/train_data.h"
#include "tests/compiled_scenario.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::TempFolder;
using testing::read_whole_file;
using testing::run_command;
using testing::write_whole_file;
using testing::embedded_line_description;
using testing::embedded_train_description;


// `text` up to and including the first occurrence of `mark`.
std::string up_to(const std::string& text, const std::string& mark) {
  return text.substr(0, text.find(mark) + mark.size());
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The first occurrence of `from` replaced by `to`.
std::string replace_first(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Deterministic junk: every byte value, from a fixed linear congruential sequence.
std::string junk(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// What the run must end with. kCompileError: status 1 and "compile error N"; kAccepted: status 0;
// kSameAsUndamaged: status 0 and the undamaged scenario's outputs.
struct Expected {
  enum Kind { kAccepted, kSameAsUndamaged, kCompileError } kind;
  int code = 0;
};

struct BadInput {
  const char* label;
  std::function<std::string()> line;
  std::function<std::string()> train;
  Expected expected;
};

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.label; }

Expected accepted() { return {Expected::kAccepted, 0}; }
Expected same_as_undamaged() { return {Expected::kSameAsUndamaged, 0}; }
Expected compile_error(int code) { return {Expected::kCompileError, code}; }

const std::vector<BadInput>& bad_inputs() {
  static const std::vector<BadInput> inputs = {
      // Cut inside a record: the reader runs out of fields in the middle of its values.
      {"line_truncated_inside_a_record", [] { return up_to(embedded_line_description(), "pendenza,  2900,"); }, embedded_train_description,
       compile_error(25)},
      {"train_truncated_inside_a_station", embedded_line_description,
       [] { return up_to(embedded_train_description(), "stazione,    8250, 12,"); }, compile_error(25)},
      {"line_truncated_in_the_general_section",
       [] { return up_to(embedded_line_description(), "progressiva chilometrica uno,    0,"); }, embedded_train_description,
       compile_error(25)},
      // A keyword on the file's last field is never read: here the line length.
      {"line_ending_at_the_length_keyword", [] { return up_to(embedded_line_description(), "lunghezza percorso,"); },
       embedded_train_description, compile_error(104)},
      // Numbers beyond every width.
      {"huge_line_length", [] { return replace_first(embedded_line_description(), "124000", "99999999999999999999"); },
       embedded_train_description, compile_error(25)},
      {"line_length_above_the_limit", [] { return replace_first(embedded_line_description(), "124000", "2147483647"); },
       embedded_train_description, compile_error(1)},
      {"huge_speed_limit", embedded_line_description,
       [] { return replace_first(embedded_train_description(), "velocita,    1050,   140", "velocita,    1050,   2147483647"); },
       compile_error(25)},
      {"huge_signal_position", embedded_line_description,
       [] { return replace_first(embedded_train_description(), "segnale,", "segnale, 2147483647,"); },
       compile_error(15)},
      {"station_byte_out_of_range", embedded_line_description,
       [] { return replace_first(embedded_train_description(), "stazione,       0,  7,", "stazione,       0,  256,"); },
       compile_error(25)},
      // Negative positions and lengths. A feature whose cell lies before the cell array is refused
      // like one on a taken cell; a gradient before the line's start sets nothing.
      {"negative_line_length", [] { return replace_first(embedded_line_description(), "124000", "-124000"); }, embedded_train_description,
       compile_error(1)},
      {"most_negative_line_length", [] { return replace_first(embedded_line_description(), "124000", "-2147483648"); },
       embedded_train_description, compile_error(1)},
      {"negative_gradient_position",
       [] { return replace_first(embedded_line_description(), "[pendenze]\r\n", "[pendenze]\r\npendenza, -2147483648, 5\r\n"); },
       embedded_train_description, accepted()},
      {"negative_board_position",
       [] {
         return replace_first(embedded_line_description(), "[indicazioni]\r\n",
                              "[indicazioni]\r\ncartello_indicatore, -2147483648, (X)\r\n");
       },
       embedded_train_description, compile_error(6)},
      {"negative_station_position", embedded_line_description,
       [] { return replace_first(embedded_train_description(), "stazione,       0,", "stazione, -2147483600,"); },
       compile_error(25)},
      {"negative_signal_position", embedded_line_description,
       [] { return replace_first(embedded_train_description(), "segnale,", "segnale, -2147483648,"); },
       compile_error(16)},
      {"negative_slowdown_position_and_length", embedded_line_description,
       [] { return replace_first(embedded_train_description(), "rallentamento,", "rallentamento, -2147483648, 50, -2147483648,"); },
       compile_error(18)},
      // Bytes that are no text at all.
      {"line_of_binary_junk", [] { return junk(1 << 16, 1); }, embedded_train_description, compile_error(102)},
      {"train_of_binary_junk", embedded_line_description, [] { return junk(1 << 16, 2); }, accepted()},
      {"junk_after_generale", [] { return "[generale]\r\n" + junk(1 << 16, 3); }, embedded_train_description,
       compile_error(104)},
      // A 10 MB line of commas: ten million empty fields.
      {"line_description_of_commas", [] { return "[generale]\r\n" + std::string(10 << 20, ',') + "\r\n[fine]\r\n"; },
       embedded_train_description, compile_error(104)},
      {"train_description_of_commas", embedded_line_description,
       [] { return "[generale]\r\n" + std::string(10 << 20, ',') + "\r\n[fine]\r\n"; },
       accepted()},
      // No line ends at all: the records run into each other ("[generale]lunghezza percorso" holds
      // no bracket-free field to read the length from; the train's fields turn into non-numbers).
      {"line_without_line_ends", [] { return replace_all(embedded_line_description(), "\r\n", ""); }, embedded_train_description,
       compile_error(104)},
      {"train_without_line_ends", embedded_line_description, [] { return replace_all(embedded_train_description(), "\r\n", ""); },
       accepted()},
      // NUL bytes inside fields and a file of nothing else. A keyword broken by a NUL is not a
      // keyword; a NUL in place of a blank shifts the train's values into the wrong fields.
      {"nul_bytes_in_the_line",
       [] { return replace_all(embedded_line_description(), "pendenza", std::string("pend\0nza", 8)); }, embedded_train_description,
       accepted()},
      {"nul_bytes_in_the_train", embedded_line_description,
       [] { return replace_all(embedded_train_description(), ", ", std::string(",\0", 2)); }, compile_error(25)},
      {"line_of_nul_bytes", [] { return std::string(1 << 16, '\0'); }, embedded_train_description, compile_error(102)},
      // CR-only line ends are line ends like CR LF: the scenario compiles as usual.
      {"cr_only_line_ends", [] { return replace_all(embedded_line_description(), "\r\n", "\r"); },
       [] { return replace_all(embedded_train_description(), "\r\n", "\r"); }, same_as_undamaged()},
      {"lf_only_line_ends", [] { return replace_all(embedded_line_description(), "\r\n", "\n"); },
       [] { return replace_all(embedded_train_description(), "\r\n", "\n"); }, same_as_undamaged()},
      // Empty files: the line phase reads past the end looking for "[generale]"; the train phase
      // finds no record.
      {"empty_line_description", [] { return std::string(); }, embedded_train_description, compile_error(25)},
      {"empty_train_description", embedded_line_description, [] { return std::string(); }, accepted()},
  };
  return inputs;
}

class BadInputTest : public ::testing::TestWithParam<BadInput> {
 protected:
  // Runs the tool on the two descriptions, outputs into `out`; returns the exit status (-1 for a
  // signal) and what it printed.
  static int compile(const TempFolder& folder, const std::string& line, const std::string& train,
                     const std::string& out, std::string* output) {
    write_whole_file(folder.file("line.txt"), line);
    write_whole_file(folder.file("train.txt"), train);
    return run_command("timeout 60 '" + std::string(SCENARIO_TOOL_BIN) + "' compile --line '" +
                           folder.file("line.txt") + "' --train '" + folder.file("train.txt") + "' --out '" +
                           folder.file(out) + "'",
                       output);
  }
};

TEST_P(BadInputTest, EndsWithAClearReport) {
  const BadInput& input = GetParam();
  TempFolder folder;
  std::string output;
  const int status = compile(folder, input.line(), input.train(), "out", &output);

  ASSERT_TRUE(status == 0 || status == 1 || status == 3) << "status " << status << "\n" << output;
  EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
  EXPECT_EQ(output.find("runtime error"), std::string::npos) << output;

  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  if (input.expected.kind == Expected::kAccepted) {
    EXPECT_EQ(status, 0) << output;
    return;
  }
  if (input.expected.kind == Expected::kSameAsUndamaged) {
    EXPECT_EQ(status, 0) << output;
    std::string clean_output;
    ASSERT_EQ(compile(folder, embedded_line_description(), embedded_train_description(), "reference", &clean_output), 0) << clean_output;
    for (const std::string* name : {&names.line_record, &names.scenario_record, &names.track_cells}) {
      EXPECT_TRUE(read_whole_file(folder.file("out/" + *name)) == read_whole_file(folder.file("reference/" + *name)))
          << *name << " differs from the undamaged scenario's";
    }
    return;
  }
  EXPECT_EQ(status, 1) << output;
  const std::string report = "compile error " + std::to_string(input.expected.code);
  EXPECT_TRUE(output.find(report + ":") != std::string::npos || output.find(report + " at ") != std::string::npos)
      << output;
}

INSTANTIATE_TEST_SUITE_P(MalformedDescriptions, BadInputTest, ::testing::ValuesIn(bad_inputs()),
                         [](const ::testing::TestParamInfo<BadInput>& bad_input) { return std::string(bad_input.param.label); });

// The report shows the record's line; control characters in it (an escape sequence, a NUL, a bell)
// come out as '?' so that they neither drive the terminal nor move the caret off the field.
TEST_F(BadInputTest, ControlCharactersOfTheReportedLineAreShownAsQuestionMarks) {
  TempFolder folder;
  using namespace std::string_literals;
  const std::string train =
      "[generale]\r\n\x1b[2J\x07stazione,   125,  7,  800, 1,0,0, 4,1,0, 2,1,1, 1, 19,20,0, BAD\x1b[31m\0\tNAME\r\n"
      "[fine]\r\n"s;
  std::string output;
  ASSERT_EQ(compile(folder, embedded_line_description(), train, "out", &output), 1) << output;
  EXPECT_NE(output.find("compile error 8 at 125 m"), std::string::npos) << output;
  EXPECT_NE(output.find("\n    ?[2J?stazione,   125,  7,"), std::string::npos) << output;
  // The caret stands under the position, the field at fault.
  EXPECT_NE(output.find(", BAD?[31m? NAME\n" + std::string(4 + 17, ' ') + "^\n"), std::string::npos) << output;
  EXPECT_EQ(output.find_first_of("\x1b\x07\t\0"s), std::string::npos) << output;
}

}  // namespace
}  // namespace scenario
