#include "scenario/documents.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "disk/file_replace.h"
#include "format/file_names.h"
#include "scenario/text_writers.h"
#include "scenario/train_data.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

// The documents are read here as a reader with a fixed-pitch font sees them: the bytes of the
// written file (code page 1252, one byte per character), split at CR LF. Columns count from 1.

std::vector<std::string> lines_of(const std::string& bytes) { return testing::crlf_lines(bytes); }

std::vector<std::string> document(LineTable table) { return lines_of(render_table(table)); }

// Line `number` of a document, counted from 1.
template <typename Lines>
auto& line_at(Lines& lines, int number) {
  return lines[static_cast<size_t>(number - 1)];
}

std::vector<int> bars_of(std::string_view line) {
  std::vector<int> bars;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '|') bars.push_back(static_cast<int>(i) + 1);
  }
  return bars;
}

// Characters `first` to `last` of a line, both counted from 1; blanks beyond the line's end.
std::string columns(const std::string& line, int first, int last) {
  const size_t from = static_cast<size_t>(first - 1);
  const size_t width = static_cast<size_t>(last - first + 1);
  std::string text = line.size() > from ? line.substr(from, width) : "";
  text.resize(width, ' ');
  return text;
}

std::string blanks(int count) { return std::string(static_cast<size_t>(count), ' '); }

std::string trim_right(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string right_aligned(const std::string& text, int width) {
  return text.size() >= static_cast<size_t>(width) ? text : blanks(width - static_cast<int>(text.size())) + text;
}

std::string left_aligned(const std::string& text, int width) {
  std::string padded = text;
  if (padded.size() < static_cast<size_t>(width)) padded.resize(static_cast<size_t>(width), ' ');
  return padded;
}

// ---- The embedded train, read from its own table -------------------------------------------

std::vector<std::string> fields_of(std::string_view row) { return testing::comma_fields(row); }

long number_of(const std::string& field) { return std::stol(field); }

struct TrainStation {
  long position = 0;
  long stop_seconds = 0;
  long hours = 0;
  long minutes = 0;
  std::string name;
  bool has_time() const { return hours != 0 || minutes != 0; }
  std::string time() const {
    char text[8];
    std::snprintf(text, sizeof text, "%02ld.%02ld", hours, minutes);
    return text;
  }
};

struct TrainSlowdown {
  long x = 0;
  long v = 0;
  long l = 0;
};

std::vector<TrainStation> train_stations() {
  std::vector<TrainStation> stations;
  for (std::string_view row : train_data_table()) {
    if (!row.starts_with("stazione,")) continue;
    const std::vector<std::string> fields = fields_of(row);
    EXPECT_EQ(fields.size(), 18u) << row;
    if (fields.size() != 18) continue;
    TrainStation station;
    station.position = number_of(fields[1]);
    station.stop_seconds = number_of(fields[13]);
    station.hours = number_of(fields[14]);
    station.minutes = number_of(fields[15]);
    station.name = fields[17].substr(fields[17].find_first_not_of(' '));
    stations.push_back(station);
  }
  return stations;
}

std::vector<TrainSlowdown> train_slowdowns() {
  std::vector<TrainSlowdown> slowdowns;
  for (std::string_view row : train_data_table()) {
    if (!row.starts_with("rallentamento,")) continue;
    const std::vector<std::string> fields = fields_of(row);
    EXPECT_EQ(fields.size(), 7u) << row;
    if (fields.size() != 7) continue;
    slowdowns.push_back({number_of(fields[1]), number_of(fields[2]), number_of(fields[3])});
  }
  return slowdowns;
}

TEST(EmbeddedTrainTest, HasTheStationsAndSlowdownsTheDocumentsDescribe) {
  ASSERT_EQ(train_stations().size(), 23u);
  ASSERT_EQ(train_slowdowns().size(), 3u);
}

// ---- All three documents -------------------------------------------------------------------

TEST(DocumentsTest, TablesHoldTheirEntriesClosedByTheMarker) {
  struct Case {
    const char* name;
    LineTable table;
    size_t entries;
  } cases[] = {
      {"timetable card", timetable_card_table(), 47},
      {"slowdown order", slowdown_order_table(), 45},
      {"notes", notes_table(), 29},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.table.size(), c.entries) << c.name;
    EXPECT_EQ(c.table.back(), kEndMarker) << c.name;
    EXPECT_EQ(std::count(c.table.begin(), c.table.end(), kEndMarker), 1) << c.name;
    EXPECT_EQ(document(c.table).size(), c.entries - 1) << c.name;
  }
}

TEST(DocumentsTest, WritersUseTheScenarioNamesAndReplaceAnOlderLongerFile) {
  testing::TempFolder folder;
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  EXPECT_EQ(names.timetable_card, "MorvellaC_DrasconaX_5521_scheda_treno.txt");
  EXPECT_EQ(names.slowdown_order, "MorvellaC_DrasconaX_5521_rallentamenti.txt");
  EXPECT_EQ(names.notes, "MorvellaC_DrasconaX_5521_note.txt");
  const std::string old_bytes(20000, 'x');
  for (const std::string* name : {&names.timetable_card, &names.slowdown_order, &names.notes}) {
    testing::write_whole_file(folder.file(*name), old_bytes);
  }
  FolderSink sink(folder.path());
  ASSERT_TRUE(dati_note(sink, names).ok());
  ASSERT_TRUE(dati_rallentamenti(sink, names).ok());
  ASSERT_TRUE(dati_scheda(sink, names).ok());
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(testing::read_whole_file(folder.file(names.notes)), render_table(notes_table()));
  EXPECT_EQ(testing::read_whole_file(folder.file(names.slowdown_order)), render_table(slowdown_order_table()));
  EXPECT_EQ(testing::read_whole_file(folder.file(names.timetable_card)), render_table(timetable_card_table()));
}

TEST(DocumentsTest, AccentsAreSingleBytesOfCodePage1252) {
  const std::string all = render_table(timetable_card_table()) + render_table(slowdown_order_table()) +
                          render_table(notes_table());
  const std::set<unsigned char> accents = {0xB0, 0xE0, 0xE8, 0xEC, 0xF2, 0xF9};
  std::set<unsigned char> seen;
  for (char c : all) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      EXPECT_TRUE(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7F)) << int(byte);
      continue;
    }
    EXPECT_TRUE(accents.count(byte)) << "unexpected byte " << int(byte);
    seen.insert(byte);
  }
  EXPECT_EQ(seen, accents);
  EXPECT_EQ(all.find('?'), std::string::npos) << "a character the code page cannot hold";
  const std::vector<std::string> card = document(timetable_card_table());
  EXPECT_NE(card[4].find("Scheda n\xB0 1/2"), std::string::npos);
  EXPECT_NE(card[6].find("Validit\xE0"), std::string::npos);
}

// ---- Timetable card ------------------------------------------------------------------------

constexpr int kFirstTimetableRow = 18;  // line numbers, from 1
constexpr int kLastTimetableRow = 44;

TEST(TimetableCardTest, QuotedLinesAreVerbatim) {
  const std::vector<std::string> card = document(timetable_card_table());
  ASSERT_EQ(card.size(), 46u);
  const struct {
    int line;
    const char* text;
  } quoted[] = {
      {1, ""},
      {2, ""},
      {3, "  ___________________      ___________________                           _______________________"},
      {4, " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |"},
      {6, " |___________________|    |___________________|                         |          95%          |"},
      {9, " |___________________|    |___________________|                          _______________________"},
      {10, "  ______________________ _____________________                          | Int. alla Sigla |     |"},
      {11, " | Classificazione      | Massa Bloccata      |                         |     ALn 668     |     | "},
      {12, " |         R            |      1 ALn          |                         |  3000/3100/3200 |     | "},
      {13, " |______________________|_____________________|                         |_________________|_____|"},
      {14, "   ____________________________________________________________________________________________"},
      {15, "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| "},
      {16, "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|"},
      {17, "  |_____|_____|_________________________________|_______________|___|______|___|___________|___| "},
      {19, "  | 140 | 125 |  0.900 /| |   Dev.U.            |               |   |  /   |                   |"},
      {45, "  |_____|_____|_________________________________|_______________|___|______|___________________|"},
      {46, ""},
  };
  for (const auto& q : quoted) EXPECT_EQ(line_at(card, q.line), q.text) << "line " << q.line;
}

TEST(TimetableCardTest, FirstHeaderBandHasItsBoxesAndTexts) {
  const std::vector<std::string> card = document(timetable_card_table());
  ASSERT_EQ(card.size(), 46u);
  const std::vector<int> three_boxes = {2, 22, 27, 47, 73, 97};
  for (int line : {4, 5, 6, 7}) EXPECT_EQ(bars_of(line_at(card, line)), three_boxes) << "line " << line;
  EXPECT_EQ(bars_of(card[7]), (std::vector<int>{2, 22, 27, 47})) << "line 8";
  EXPECT_EQ(card[7].size(), 97u) << "line 8 runs on in blanks under the right-hand box";

  const std::string& line5 = card[4];
  const std::string region = columns(line5, 3, 21);
  const size_t left = region.find_first_not_of(' ');
  ASSERT_NE(left, std::string::npos);
  const size_t right = region.size() - 1 - region.find_last_not_of(' ');
  EXPECT_LE(left > right ? left - right : right - left, 1u) << "the region's name is centred";
  EXPECT_EQ(columns(line5, 28, 46), "     5521/5522     ");
  EXPECT_EQ(columns(line5, 48, 52), blanks(5));
  EXPECT_EQ(columns(line5, 53, 65), "Scheda n\xB0 1/2");
  EXPECT_NE(columns(line5, 74, 96).find("VS130 C"), std::string::npos);

  const std::string& line7 = card[6];
  EXPECT_NE(columns(line7, 3, 21).find("Validit\xE0"), std::string::npos);
  EXPECT_NE(columns(line7, 28, 46).find("Termine Scheda"), std::string::npos);
  EXPECT_EQ(columns(line7, 73, 97), "|_______________________|");
  EXPECT_NE(columns(line7, 48, 72).find("Da: Morvella C."), std::string::npos);

  const std::string& line8 = card[7];
  EXPECT_EQ(columns(line8, 3, 21), " Dal: 30.09.2001   ");
  EXPECT_NE(columns(line8, 48, 72).find("A: Drascona C."), std::string::npos);
  EXPECT_EQ(columns(line8, 73, 97), blanks(25));
  // The card ends at the last station it lists.
  const std::string last_row = line_at(card, kLastTimetableRow);
  const std::string last_name = trim_right(columns(last_row, 31, 48));
  EXPECT_EQ(trim_right(columns(line8, 28, 46)).substr(1), last_name);
}

// The line diagram between the kilometre and the name (characters 24 to 29), the bars it draws
// besides the cells' own, and the letter that names it in the diagram's grammar.
struct DiagramKind {
  const char* text;
  std::vector<int> bars;
  char letter;
};

const DiagramKind kDiagramKinds[] = {
    {"|___| ", {24, 28}, 'O'},  // the origin
    {"/| |  ", {25, 27}, 'U'},  // the junction right after it
    {" |\\|  ", {25, 27}, 'D'},  // double track
    {" |/|  ", {25, 27}, 'd'},  // double track
    {" |    ", {25}, 'S'},      // single track
    {"  \\   ", {}, 'X'},        // the drawn track shifts two characters to the right
    {"   |  ", {27}, 's'},      // single track, shifted
    {"   \\| ", {28}, 'T'},      // the terminus
};

const std::vector<int> kTimetableCellBars = {3, 9, 15, 49, 65, 69, 76, 96};

const DiagramKind* diagram_of(const std::string& row) {
  const std::string text = columns(row, 24, 29);
  for (const DiagramKind& kind : kDiagramKinds) {
    if (text == kind.text) return &kind;
  }
  return nullptr;
}

TEST(TimetableCardTest, EveryRowHasItsBarsWhereTheKindSays) {
  const std::vector<std::string> card = document(timetable_card_table());
  ASSERT_EQ(card.size(), 46u);
  std::string grammar;
  for (int line = kFirstTimetableRow; line <= kLastTimetableRow; ++line) {
    const std::string& row = line_at(card, line);
    SCOPED_TRACE("line " + std::to_string(line) + ": " + row);
    EXPECT_TRUE(row.size() == 96 || (row.size() == 97 && row.back() == ' '));
    EXPECT_EQ(row.substr(0, 3), "  |");
    const DiagramKind* kind = diagram_of(row);
    ASSERT_NE(kind, nullptr) << "unknown line diagram '" << columns(row, 24, 29) << "'";
    std::vector<int> expected = kTimetableCellBars;
    expected.insert(expected.end(), kind->bars.begin(), kind->bars.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(bars_of(row), expected);
    grammar += kind->letter;
  }
  // Origin, junction, double track with alternating crossovers, single track with one shift, terminus.
  const size_t single = grammar.find('S');
  ASSERT_NE(single, std::string::npos) << grammar;
  EXPECT_EQ(grammar.substr(0, 2), "OU") << grammar;
  const std::string double_track = grammar.substr(2, single - 2);
  ASSERT_FALSE(double_track.empty()) << grammar;
  for (size_t i = 0; i < double_track.size(); ++i) {
    EXPECT_TRUE(double_track[i] == 'D' || double_track[i] == 'd') << grammar;
    if (i > 0) {
      EXPECT_NE(double_track[i], double_track[i - 1]) << "crossovers alternate: " << grammar;
    }
  }
  const std::string rest = grammar.substr(single);
  const size_t shift = rest.find('X');
  ASSERT_NE(shift, std::string::npos) << grammar;
  EXPECT_EQ(rest.substr(0, shift), std::string(shift, 'S')) << grammar;
  EXPECT_EQ(rest.back(), 'T') << grammar;
  const std::string after = rest.substr(shift + 1, rest.size() - shift - 2);
  EXPECT_EQ(after, std::string(after.size(), 's')) << grammar;
  // The bottom rule closes the same cells, with the last three as one.
  EXPECT_EQ(bars_of(card[44]), kTimetableCellBars);
}

// The forms of the time cell (characters 50 to 64).
enum class TimeForm { kNone, kDeparture, kStop, kStopMarked, kPassing, kInvalid };

bool is_time(const std::string& text) {
  return text.size() == 5 && isdigit(static_cast<unsigned char>(text[0])) &&
         isdigit(static_cast<unsigned char>(text[1])) && text[2] == '.' &&
         isdigit(static_cast<unsigned char>(text[3])) && isdigit(static_cast<unsigned char>(text[4])) &&
         text.substr(0, 2) < "24" && text.substr(3) < "60";
}

struct TimeCell {
  TimeForm form = TimeForm::kInvalid;
  std::string arrival;
  std::string departure;  // the only time for the departure-only and passing forms
};

TimeCell time_cell_of(const std::string& row) {
  const std::string cell = columns(row, 50, 64);
  TimeCell parsed;
  if (cell == blanks(15)) {
    parsed.form = TimeForm::kNone;
  } else if (cell.substr(0, 9) == blanks(9) && is_time(cell.substr(9, 5)) && cell[14] == ' ') {
    parsed.form = TimeForm::kDeparture;
    parsed.departure = cell.substr(9, 5);
  } else if (cell.substr(0, 5) == blanks(5) && is_time(cell.substr(5, 5)) && cell.substr(10) == blanks(5)) {
    parsed.form = TimeForm::kPassing;
    parsed.departure = cell.substr(5, 5);
  } else if (cell[0] == ' ' && is_time(cell.substr(1, 5)) && is_time(cell.substr(9, 5)) && cell[14] == ' ' &&
             (cell.substr(6, 3) == "   " || cell.substr(6, 3) == " M ")) {
    parsed.form = cell.substr(6, 3) == " M " ? TimeForm::kStopMarked : TimeForm::kStop;
    parsed.arrival = cell.substr(1, 5);
    parsed.departure = cell.substr(9, 5);
  }
  return parsed;
}

// Blank, or a blank, a speed right-aligned in 3 and blanks to the cell's width.
bool is_speed_cell(const std::string& cell, int width) {
  if (cell == blanks(width)) return true;
  const std::string number = cell.substr(1, 3);
  const size_t digits = number.find_first_not_of(' ');
  return cell[0] == ' ' && cell.substr(4) == blanks(width - 4) && digits != std::string::npos &&
         number.find_first_not_of("0123456789", digits) == std::string::npos;
}

TEST(TimetableCardTest, CellsHoldTheirFormsAtTheirPlaces) {
  const std::vector<std::string> card = document(timetable_card_table());
  ASSERT_EQ(card.size(), 46u);
  int timed = 0, marked = 0, numbered = 0;
  std::vector<std::string> others;
  for (int line = kFirstTimetableRow; line <= kLastTimetableRow; ++line) {
    const std::string& row = line_at(card, line);
    SCOPED_TRACE("line " + std::to_string(line) + ": " + row);
    EXPECT_TRUE(is_speed_cell(columns(row, 4, 8), 5)) << "'" << columns(row, 4, 8) << "'";
    EXPECT_TRUE(is_speed_cell(columns(row, 10, 14), 5)) << "'" << columns(row, 10, 14) << "'";
    const std::string km = columns(row, 16, 22);
    if (km != blanks(7)) {
      char text[16];
      std::snprintf(text, sizeof text, "%7.3f", std::stod(km));
      EXPECT_EQ(km, text);
    }
    EXPECT_EQ(columns(row, 23, 23), " ");
    const std::string rec = columns(row, 66, 68);
    EXPECT_TRUE(rec == "0.5" || rec == "1.0" || rec == "   ") << rec;
    const std::string track = columns(row, 70, 75);
    EXPECT_TRUE(track == blanks(6) || track == "  /   " || is_speed_cell(track, 6)) << track;
    const std::string srs = columns(row, 77, 95);
    if (srs != blanks(19)) {
      EXPECT_EQ(srs.substr(0, 9) + srs.substr(10), blanks(18)) << srs;
      EXPECT_TRUE(isdigit(static_cast<unsigned char>(srs[9]))) << srs;
      ++numbered;
    }
    const TimeCell time = time_cell_of(row);
    EXPECT_NE(time.form, TimeForm::kInvalid) << "time cell '" << columns(row, 50, 64) << "'";
    if (time.form == TimeForm::kDeparture) {
      EXPECT_EQ(line, kFirstTimetableRow) << "only the origin";
    }
    if (time.form == TimeForm::kStopMarked) ++marked;
    if (time.form == TimeForm::kNone) {
      const std::string name = trim_right(columns(row, 30, 48));
      others.push_back(name.substr(name.find_first_not_of(' ')));
    } else {
      ++timed;
    }
    // Names: at 31, or at 30 for tunnel entrances and protection signals.
    const std::string at30 = columns(row, 30, 48);
    const bool early = at30.starts_with("Imb.G. ") || at30.starts_with("Seg.Prot. ");
    EXPECT_EQ(at30[0] == ' ', !early);
    if (!early) {
      EXPECT_NE(columns(row, 31, 31), " ");
    }
    // Dots fill the name up to the time cell only for stops with two plain times.
    const std::string name_cell = columns(row, early ? 30 : 31, 48);
    const size_t end_of_name = name_cell.find_last_not_of(time.form == TimeForm::kStop ? '.' : ' ');
    ASSERT_NE(end_of_name, std::string::npos);
    if (time.form == TimeForm::kStop) {
      EXPECT_EQ(name_cell[end_of_name + 1], '.') << "a stop's name is filled with points";
    } else {
      EXPECT_EQ(name_cell.back() == '.', false) << "only stops are filled with points";
    }
  }
  EXPECT_EQ(timed, 22);
  EXPECT_EQ(marked, 1);
  EXPECT_EQ(numbered, 3);
  ASSERT_EQ(others.size(), 5u);
  EXPECT_EQ(others[0], "Dev.U.");
  EXPECT_EQ(std::count_if(others.begin(), others.end(), [](const std::string& s) { return s.starts_with("Imb.G. "); }), 2);
  EXPECT_EQ(std::count_if(others.begin(), others.end(), [](const std::string& s) { return s.starts_with("Seg.Prot. "); }),
            2);
}

// The station's name as the card writes it: at character 31, without the points of a stop.
std::string card_station_name(const std::string& row) {
  std::string name = trim_right(columns(row, 31, 48));
  if (time_cell_of(row).form == TimeForm::kStop) {
    while (!name.empty() && name.back() == '.') name.pop_back();
  }
  return name;
}

TEST(TimetableCardTest, AgreesWithTheTrainItDescribes) {
  const std::vector<std::string> card = document(timetable_card_table());
  const std::vector<TrainStation> stations = train_stations();
  ASSERT_EQ(card.size(), 46u);
  ASSERT_FALSE(stations.empty());

  struct CardStation {
    int line;
    size_t train_index;
    TimeCell time;
  };
  std::vector<CardStation> listed;
  size_t next = 0;  // stations must come in the train's order
  for (int line = kFirstTimetableRow; line <= kLastTimetableRow; ++line) {
    const std::string& row = line_at(card, line);
    const TimeCell time = time_cell_of(row);
    if (time.form == TimeForm::kNone || time.form == TimeForm::kInvalid) continue;
    const std::string name = card_station_name(row);
    size_t found = next;
    while (found < stations.size() && stations[found].name != name) ++found;
    ASSERT_LT(found, stations.size()) << "line " << line << ": '" << name << "' is not a later station of the train";
    listed.push_back({line, found, time});
    next = found + 1;
  }
  ASSERT_EQ(listed.size(), 22u);
  EXPECT_EQ(listed.front().train_index, 0u) << "the card starts at the origin";
  EXPECT_EQ(listed.back().train_index, stations.size() - 1) << "and runs to the last station";

  std::set<size_t> on_card;
  for (size_t i = 0; i < listed.size(); ++i) {
    const CardStation& entry = listed[i];
    const TrainStation& station = stations[entry.train_index];
    const std::string& row = line_at(card, entry.line);
    SCOPED_TRACE("line " + std::to_string(entry.line) + ": " + row);
    on_card.insert(entry.train_index);
    char km[16];
    std::snprintf(km, sizeof km, "%7.3f", static_cast<double>(station.position) / 1000.0);
    EXPECT_EQ(columns(row, 16, 22), km);
    const std::string rec = station.stop_seconds == 30 ? "0.5" : station.stop_seconds == 60 ? "1.0" : "   ";
    EXPECT_EQ(columns(row, 66, 68), rec) << "stop of " << station.stop_seconds << " s";
    if (station.has_time()) {
      EXPECT_EQ(entry.time.departure, station.time()) << "the train's departure time";
      if (!entry.time.arrival.empty()) {
        EXPECT_LE(entry.time.arrival, entry.time.departure);
      }
    } else {
      EXPECT_EQ(entry.time.form, TimeForm::kPassing) << "the train passes " << station.name;
    }
    if (entry.time.form == TimeForm::kPassing && station.has_time()) {
      EXPECT_EQ(entry.train_index, stations.size() - 1) << "only the terminus shows a single time";
    }
    if (i > 0) {
      const TimeCell& before = listed[i - 1].time;
      EXPECT_LT(before.departure, entry.time.arrival.empty() ? entry.time.departure : entry.time.arrival);
    }
  }
  for (size_t i = 0; i < stations.size(); ++i) {
    if (stations[i].has_time()) {
      EXPECT_TRUE(on_card.count(i)) << stations[i].name << " stops but is not on the card";
    }
  }
}

// ---- Slowdown order ------------------------------------------------------------------------

const std::vector<int> kOrderBars = {2, 6, 35, 48, 59, 69, 82};

TEST(SlowdownOrderTest, QuotedLinesAreVerbatim) {
  const std::vector<std::string> order = document(slowdown_order_table());
  ASSERT_EQ(order.size(), 44u);
  const std::string rule = " |___|____________________________|____________|__________|_________|____________|";
  const std::string filler = " |* *|* * * * * * * * * * * * * * |* * * * * * |* * * * * |* * * * *|* * * * * * |";
  const std::string empty_row = " |   |                            |            |          |         |            |";
  std::vector<std::string> expected(44, "\x01");  // lines not quoted
  expected[0] = "                               Modulo M. 3";
  expected[1] = "                           ORDINE DI RALLENTAMENTO";
  expected[2] = " " + std::string(80, '_');
  expected[4] = "";
  expected[5] = "  Si ordina al macchinista del treno 5521/5522 di effettuare i seguenti rallentamenti";
  expected[6] = "  " + std::string(79, '_');
  expected[7] = " |   |                            |Inizio dopo |          |         |            |";
  expected[8] = " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|";
  expected[9] = " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |";
  expected[10] = rule;
  expected[14] = filler;
  expected[15] = filler;
  for (int line = 17; line <= 36; ++line) line_at(expected, line) = empty_row;
  expected[36] = rule;
  expected[37] = "";
  expected[38] = "              Prescrizioni specifiche";
  expected[39] = " A - Da rispettare con tutto il treno (per i treni viaggiatori)";
  expected[40] = " B - Interessa anche la stazione di.......";
  expected[41] = " D - Rallentamneto N. ... e N. ...  sono contigui";
  expected[42] = " C - Da rispettare dalle ore ....  alle ore ..... di tutti";
  expected[43] = "     i giorni esclusi i seguenti:.........";
  for (size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] != "\x01") {
      EXPECT_EQ(order[i], expected[i]) << "line " << i + 1;
    }
  }
  const std::string& line4 = order[3];
  EXPECT_TRUE(line4.starts_with("  Linea  Morvella C.le - Drascona C.")) << line4;
  EXPECT_TRUE(line4.ends_with("C.   ")) << "three blanks after the destination: '" << line4 << "'";
}

TEST(SlowdownOrderTest, EveryTableRowHasTheSameBars) {
  const std::vector<std::string> order = document(slowdown_order_table());
  ASSERT_EQ(order.size(), 44u);
  for (int line = 8; line <= 37; ++line) {
    EXPECT_EQ(bars_of(line_at(order, line)), kOrderBars) << "line " << line << ": " << line_at(order, line);
    EXPECT_EQ(line_at(order, line).size(), 82u) << "line " << line;
  }
}

TEST(SlowdownOrderTest, RowsAgreeWithTheTrainsSlowdowns) {
  const std::vector<std::string> order = document(slowdown_order_table());
  const std::vector<TrainSlowdown> slowdowns = train_slowdowns();
  const std::vector<TrainStation> stations = train_stations();
  ASSERT_EQ(order.size(), 44u);
  ASSERT_EQ(slowdowns.size(), 3u);
  ASSERT_FALSE(stations.empty());
  const std::set<std::string> prescriptions = {"A-H", "H", "I"};
  for (size_t i = 0; i < slowdowns.size(); ++i) {
    const TrainSlowdown& slowdown = slowdowns[i];
    const std::string& row = order[11 + i];
    SCOPED_TRACE("line " + std::to_string(12 + i) + ": " + row);
    EXPECT_EQ(columns(row, 3, 5), "0" + std::to_string(i + 1) + " ");
    // The stations on either side: the last one at or before the start, the first one at or after the end.
    const TrainStation* before = nullptr;
    const TrainStation* after = nullptr;
    for (const TrainStation& station : stations) {
      if (station.position <= slowdown.x) before = &station;
      if (!after && station.position >= slowdown.x + slowdown.l) after = &station;
    }
    ASSERT_TRUE(before && after);
    const std::string first = before->name.substr(0, 12);
    const std::string stations_cell =
        " " + first + right_aligned(after->name, 28 - 2 - static_cast<int>(first.size())) + " ";
    EXPECT_EQ(columns(row, 7, 34), stations_cell);
    EXPECT_EQ(columns(row, 36, 47), right_aligned(std::to_string(slowdown.x / 1000), 8) + blanks(4));
    EXPECT_EQ(columns(row, 49, 58), left_aligned("   " + std::to_string(slowdown.v), 10));
    EXPECT_EQ(columns(row, 60, 68), right_aligned(std::to_string(slowdown.l), 6) + blanks(3));
    EXPECT_TRUE(prescriptions.count(trim_right(columns(row, 70, 81)))) << columns(row, 70, 81);
    EXPECT_NE(row[69], ' ') << "prescriptions are left-aligned";
  }
}

// ---- Notes ---------------------------------------------------------------------------------

TEST(NotesTest, FollowTheirStructureLineByLine) {
  const std::vector<std::string> notes = document(notes_table());
  ASSERT_EQ(notes.size(), 28u);
  EXPECT_TRUE(notes[0].starts_with("      Regione ")) << notes[0];
  EXPECT_TRUE(notes[1].starts_with("Linea ") && notes[1].ends_with(".")) << notes[1];
  size_t longest = 0;
  for (int line = 4; line <= 10; ++line) {
    EXPECT_GT(line_at(notes, line).size(), 80u) << "line " << line;
    longest = std::max(longest, line_at(notes, line).size());
  }
  EXPECT_EQ(longest, 458u);
  EXPECT_EQ(notes[9],
            "La planimetria \xE8 il pi\xF9 reale possibile, la posizione delle stazioni,P.L.,segnali, gallerie, F, "
            "corrispondono alla realt\xE0.");
  for (int line = 11; line <= 14; ++line) {
    const std::string& text = line_at(notes, line);
    SCOPED_TRACE("line " + std::to_string(line) + ": " + text);
    EXPECT_TRUE(text.starts_with("Linea "));
    ASSERT_GT(text.size(), 36u);
    EXPECT_EQ(text[34], ' ') << "the stretch's name is padded to 35 characters";
    EXPECT_NE(text[35], ' ');
    EXPECT_NE(text.find("locco"), std::string::npos) << "names the block system";
  }
  for (int line : {3, 15, 23, 27, 28}) EXPECT_EQ(line_at(notes, line), "") << "line " << line;
  EXPECT_EQ(notes[15], "Treno Simulato:");
  EXPECT_EQ(notes[16], "R 5521 Morvella C.-Drascona C.");
  EXPECT_EQ(notes[17], "Il nostro treno \xE8 composto da 2 ALn 668 gr.3000 a volte pu\xF2 capitare che siano 2 del gr.1600.");
  EXPECT_EQ(notes[18], "E' un treno che effettua tutte le fermate, viaggia pieno di pendolari che rientrano dal lavoro.");
  EXPECT_EQ(notes[19], "Fate attenzione alle tre fermate sprovviste di segnali.");
  EXPECT_FALSE(notes[20].empty());
  EXPECT_EQ(notes[21], "Sono graditi consigli e suggerimenti. Buon lavoro.");
  for (int line = 24; line <= 26; ++line) {
    EXPECT_TRUE(line_at(notes, line).starts_with(" ") && line_at(notes, line).find_first_not_of(' ') != std::string::npos)
        << "line " << line;
  }
  const std::string mail = notes[25].substr(notes[25].find_first_not_of(' '));
  EXPECT_NE(mail.find('@'), std::string::npos) << mail;
  EXPECT_TRUE(mail.ends_with("@example.org") || mail.ends_with("@example.com") || mail.ends_with("@example.net"))
      << "a reserved example domain: " << mail;
}

TEST(NotesTest, NameTheSameRegionAsTheCard) {
  const std::vector<std::string> notes = document(notes_table());
  const std::vector<std::string> card = document(timetable_card_table());
  ASSERT_EQ(notes.size(), 28u);
  ASSERT_EQ(card.size(), 46u);
  const std::string region = notes[0].substr(std::string("      Regione ").size());
  EXPECT_EQ(trim_right(columns(card[4], 3, 21)).substr(columns(card[4], 3, 21).find_first_not_of(' ')), region);
}

TEST(NotesTest, ThreeStopsWithoutSignalsAsTheNotesSay) {
  // "Fate attenzione alle tre fermate sprovviste di segnali": the train stops at three stations
  // whose two signal groups are all zero.
  int stops_without_signals = 0;
  for (std::string_view row : train_data_table()) {
    if (!row.starts_with("stazione,")) continue;
    const std::vector<std::string> fields = fields_of(row);
    if (fields.size() != 18) continue;
    bool signals = false;
    for (size_t value = 7; value <= 12; ++value) signals = signals || number_of(fields[value]) != 0;
    if (!signals && number_of(fields[14]) != 0) ++stops_without_signals;
  }
  EXPECT_EQ(stops_without_signals, 3);
}

}  // namespace
}  // namespace scenario
