#include "description/description_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "description/description_writer.h"
#include "tests/compiled_scenario.h"
#include "tests/scenario_generator.h"

namespace scenario {
namespace {

using testing::CompiledFiles;
using testing::compile_in_memory;

// Descriptions with every record kind, as the writer writes them.
LineDescription some_line() {
  LineDescription line;
  line.length = 14487;
  line.uno = {100, 200, 1};
  line.sfondo_due = 72220;
  line.repetition_codes = 9;
  line.repetition_from = 50;
  line.repetition_to = 1000;
  line.curves = {{'s', 5, 800, 100}, {'d', 1, 12000, 250}};
  line.gradients = {{0, 0}, {2900, -1}, {12296, 155}};
  line.mountains = {{8435, 10777, 12}};
  line.speed_boards = {{1050, 125, 135, 140, 0, 0, 0, 0, 0}, {12550, 145, 75, 100, 2, 20, 0, 35, 3}};
  line.boards = {{1450, "(P.L.    )(Km 1+452)"}, {4011, ""}, {8700, "(Citt\xE0)"}};
  return line;
}

TrainDescription some_train() {
  TrainDescription train;
  train.cars = 2;
  train.braked_mass = 95;
  train.sand = 60;
  train.clock_hours = 19;
  train.clock_minutes = 5;
  train.clock_seconds = 45;
  train.adhesion = {{0, 100}, {12000, -5}};
  train.speed_limits = {{0, 30}, {1050, 140}, {123456789, 5}};
  StationRecord origin{0, 7, 800, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 19, 20, 0, "MORVELLA C.LE"};
  StationRecord other{94900, 21, 400, 0, 0, 1, 0, 0, 0, 4, 1, 1, 60, 20, 50, 0, "ROVESCA  "};
  train.stations = {origin, other};
  train.slowdowns = {{64750, 50, 200, 1, 0, 0}};
  SignalRecord early;
  early.posizione = 1750;
  early.sx = 2;
  early.s1 = 3;
  SignalRecord late = early;
  late.posizione = 42250;
  late.tempo = 150;
  train.signals = {early, late};
  train.signals_before_stations = 1;
  train.cut_off_points = {{2650, 120}};
  return train;
}

TEST(DescriptionLayoutTest, LeavesWhatTheWriterWroteUnchanged) {
  const std::string line = testing::embedded_line_description();
  const std::string train = testing::embedded_train_description();
  EXPECT_EQ(lay_out_description(line), line);
  EXPECT_EQ(lay_out_description(train), train);
  const std::string written_line = write_line_description(some_line());
  const std::string written_train = write_train_description(some_train());
  EXPECT_EQ(lay_out_description(written_line), written_line);
  EXPECT_EQ(lay_out_description(written_train), written_train);
  EXPECT_TRUE(is_laid_out(written_train));
}

TEST(DescriptionLayoutTest, LaysOutMessySpacingAndLeavesOtherLinesAlone) {
  const struct {
    const char* what;
    std::string in;
    std::string out;
  } cases[] = {
      {"general records", "  lunghezza percorso ,124000\nsfondo due,106000 \n",
       "lunghezza percorso,    124000\r\nsfondo due,    106000\r\n"},
      {"signal repetition", "ripetizione segnali 9 codici, 50,100\r\n", "ripetizione segnali 9 codici,    50    ,100\r\n"},
      {"a section's first gradient, then the others", "[pendenze]\npendenza,0,0\npendenza,2900,-1\n",
       "[pendenze]\r\npendenza,   0,    0\r\npendenza,  2900,   -1\r\n"},
      {"a curve keeps its side and class", "curvas5,800,100", "curvas5,  800,  100\r\n"},
      {"empty right-hand speeds stay empty", "indicatori_vmax,1050,125,135,140,0,,,,0\r\n",
       "indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0\r\n"},
      {"a board's text keeps its blanks", "cartello_indicatore,1450,(P.L.    )(Km 1+452)\r",
       "cartello_indicatore,  1450,   (P.L.    )(Km 1+452)\r\n"},
      {"the clock's numbers stay apart by blanks", "orologio, 19 19 45\r\n",
       "orologio,    19              19            45 \r\n"},
      {"right-aligned values", "[vel_limite]\r\nvelocita,0,30\r\nvelocita,1050,140\r\n",
       "[vel_limite]\r\nvelocita,   0,    30\r\nvelocita,    1050,   140\r\n"},
      {"a station and its name", "stazione,0,7,800,1,0,0,4,1,0,2,1,1,1,19,20,0,  MORVELLA C.LE\r\n",
       "stazione,       0,  7,  800,  1, 0, 0,  4,1,0,  2,1,1,    1,  19,20, 0, MORVELLA C.LE\r\n"},
      {"a section header loses its blanks", "  [segnali] \r\n", "[segnali]\r\n"},
      {"line ends: lone CR, lone LF, a blank line", "[fine]\r\r\n\n", "[fine]\r\n\r\n\r\n"},
      // Lines the layout does not fully understand keep their bytes.
      {"a value missing", "pendenza,  10\r\n", "pendenza,  10\r\n"},
      {"a value too many", "sabbia, 60, 1\r\n", "sabbia, 60, 1\r\n"},
      {"a number with text", "sabbia,  6x\r\n", "sabbia,  6x\r\n"},
      {"a comma where the clock has blanks", "orologio, 19, 19, 45\r\n", "orologio, 19, 19, 45\r\n"},
      {"blanks where a comma belongs", "pendenza, 100 5\r\n", "pendenza, 100 5\r\n"},
      {"an empty value the writer never leaves empty", "montagna, 1, , 3\r\n", "montagna, 1, , 3\r\n"},
      {"a keyword with more around it", "xpendenza, 1, 2\r\n", "xpendenza, 1, 2\r\n"},
      {"a keyword in other letter case", "Pendenza, 1, 2\r\n", "Pendenza, 1, 2\r\n"},
      {"a board text with a comma", "cartello_indicatore, 1, (a),(b)\r\n", "cartello_indicatore, 1, (a),(b)\r\n"},
      {"a trailing comma", "sabbia, 60,\r\n", "sabbia, 60,\r\n"},
      {"a comment-like line", "; note   \r\n", "; note   \r\n"},
      {"the keyword alone", "sabbia\r\n", "sabbia\r\n"},
      {"nothing", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string laid = lay_out_description(c.in);
    EXPECT_EQ(laid, c.out);
    EXPECT_EQ(lay_out_description(laid), laid);
    EXPECT_EQ(is_laid_out(c.in), c.in == c.out);
  }
}

// The same description with every record's blanks shuffled and bare LF line ends.
std::string messy(const std::string& bytes, std::mt19937& random) {
  std::string out;
  std::uniform_int_distribution<int> blanks(0, 3);
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    at = end + 2;
    const RecordLine record = read_record_line(line, true);
    const bool has_text = record.kind != nullptr && record.kind->fields.back().unit == FieldUnit::kText;
    std::string shuffled(static_cast<size_t>(blanks(random)), ' ');
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == ',') {
        while (!shuffled.empty() && shuffled.back() == ' ') shuffled.pop_back();
        shuffled.append(static_cast<size_t>(blanks(random)), ' ');
        shuffled += ',';
        shuffled.append(static_cast<size_t>(blanks(random)), ' ');
        while (i + 1 < line.size() && line[i + 1] == ' ') ++i;
      } else {
        shuffled += line[i];
      }
    }
    if (!has_text && record.kind != nullptr) shuffled.append(static_cast<size_t>(blanks(random)), ' ');
    out += shuffled;
    out += '\n';
  }
  return out;
}

TEST(DescriptionLayoutTest, GivesBackTheWritersLayoutOfAShuffledDescription) {
  std::mt19937 random(7);
  const std::string written[] = {testing::embedded_line_description(), testing::embedded_train_description(),
                                 write_line_description(some_line()), write_train_description(some_train())};
  for (const std::string& bytes : written) EXPECT_EQ(lay_out_description(messy(bytes, random)), bytes);
  // Descriptions in another layout come out the same whatever their blanks.
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    const testing::GeneratedScenario generated = testing::generate_scenario(seed);
    for (const std::string* bytes : {&generated.line, &generated.train}) {
      const std::string laid = lay_out_description(*bytes);
      EXPECT_NE(laid, *bytes);
      EXPECT_TRUE(is_laid_out(laid));
      EXPECT_EQ(lay_out_description(messy(*bytes, random)), laid);
    }
  }
}

void expect_same_compile(const std::string& line, const std::string& train, bool with_plan) {
  const CompiledFiles before = compile_in_memory(line, train, with_plan);
  const CompiledFiles after = compile_in_memory(lay_out_description(line), lay_out_description(train), with_plan);
  EXPECT_EQ(after.error_code, before.error_code);
  EXPECT_EQ(after.fatal, before.fatal);
  EXPECT_TRUE(after.track_cells == before.track_cells);
  EXPECT_TRUE(after.scenario_record == before.scenario_record);
  EXPECT_TRUE(after.line_record == before.line_record);
}

// The description with the field `field` of line `line` (0: the keyword) replaced by `text`, or
// taken out with its comma when `text` is null.
std::string with_field(const std::string& bytes, size_t line, size_t field, const char* text) {
  size_t start = 0;
  for (size_t i = 0; i < line; ++i) start = bytes.find("\r\n", start) + 2;
  const size_t end = bytes.find("\r\n", start);
  std::vector<std::string> fields;
  size_t from = start;
  for (;;) {
    const size_t comma = bytes.find(',', from);
    if (comma == std::string::npos || comma > end) {
      fields.push_back(bytes.substr(from, end - from));
      break;
    }
    fields.push_back(bytes.substr(from, comma - from));
    from = comma + 1;
  }
  if (field >= fields.size()) return bytes;
  if (text == nullptr) {
    fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(field));
  } else {
    fields[field] = text;
  }
  std::string joined;
  for (size_t i = 0; i < fields.size(); ++i) joined += (i == 0 ? "" : ",") + fields[i];
  return bytes.substr(0, start) + joined + bytes.substr(end);
}

size_t line_count(const std::string& bytes) {
  size_t count = 0;
  for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++count;
  return count;
}

// Every description, and every one-field change of it, compiles to the same bytes, or fails with
// the same error, before and after the layout; the changed field is also shuffled around.
TEST(DescriptionLayoutTest, NeverChangesWhatADescriptionCompilesTo) {
  const char* const replacements[] = {nullptr, "", " 7 8 ", "x", "-", "-5", "99999999999", " 0 ", "1 ,2",
                                      "stazione", "[fine]"};
  std::mt19937 random(11);
  struct Pair {
    std::string line;
    std::string train;
    bool with_plan;
  };
  std::vector<Pair> pairs = {{testing::embedded_line_description(), testing::embedded_train_description(), true}};
  for (uint64_t seed = 1; seed <= 3; ++seed) {
    const testing::GeneratedScenario generated = testing::generate_scenario(seed, 20000);
    pairs.push_back({generated.line, generated.train, generated.with_plan});
  }
  for (const Pair& pair : pairs) {
    expect_same_compile(messy(pair.line, random), messy(pair.train, random), pair.with_plan);
    for (const bool in_train : {false, true}) {
      const std::string& text = in_train ? pair.train : pair.line;
      const size_t lines = line_count(text);
      std::uniform_int_distribution<size_t> pick_line(0, lines - 1);
      std::uniform_int_distribution<size_t> pick_field(0, 5);
      std::uniform_int_distribution<size_t> pick_text(0, std::size(replacements) - 1);
      for (int change = 0; change < 40; ++change) {
        const size_t line = pick_line(random);
        const size_t field = pick_field(random);
        const char* replacement = replacements[pick_text(random)];
        SCOPED_TRACE(::testing::Message() << (in_train ? "train" : "line") << " line " << line + 1 << " field "
                                        << field << " -> " << (replacement ? replacement : "(removed)"));
        const std::string changed = messy(with_field(text, line, field, replacement), random);
        if (in_train) {
          expect_same_compile(pair.line, changed, pair.with_plan);
        } else {
          expect_same_compile(changed, pair.train, pair.with_plan);
        }
      }
    }
  }
}

}  // namespace
}  // namespace scenario
