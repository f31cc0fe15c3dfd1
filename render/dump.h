// Readable, diffable forms of the decoded binary files, as text or JSON.
//
// Every function here is a pure function of the decoded model; the same model always gives the
// same bytes, so two dumps can be compared with diff. Positions are shown in metres from the start
// of the line and as on the line's boards ("Km 1+452"), by the model's two mappings: a feature on
// cell i stands at 50 * (i - 1) m, the stretch values of cell i hold from 50 * i m. Kinds and
// header entries are named beside their numbers. Texts of the model (code page 1252) are shown as
// UTF-8.
//
// Text layout:
//  - track cells: a title line, then one line per cell that holds anything (a kind, a value, a
//    signal time or an approach code) or whose stretch (montagna_tipo, speed limit, gradient,
//    adhesion) differs from the previous cell's, shown from where it holds; cell 0 always has a
//    line. The last three cells, which no record's stretch reaches, say so when they hold none.
//  - scenario record: a title line, then one block per entry that holds anything: "entry N: ROLE"
//    and its fields, one per line, indented by two blanks; runs of empty entries are one line.
//  - line record: a title line, the shape of the plan, then x and y every `step` metres and at the
//    last computed metre.
// JSON holds the same model, every cell and every entry, with exact numbers.
#ifndef SCENARIO_RENDER_DUMP_H_
#define SCENARIO_RENDER_DUMP_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/cell_values.h"
#include "model/track_model.h"

namespace scenario {

// "Km 1+452" for 1452 m, "Km -0+050" for -50 m.
std::string kilometre_text(int64_t metres);

// "19:20:00" for 69600 seconds; times of a day or more keep counting hours ("25:00:00").
std::string clock_text(int64_t seconds);

// What an entry of the station table holds.
enum class EntryRole { kEmpty, kStation, kBoard, kHeader };
// Entries 81 to 86 are the header; below that, an entry with a name and no number is a line-side
// board, one with any number a station, and one with nothing at all is empty.
EntryRole entry_role(int index, const StationEntry& entry);
const char* entry_role_name(EntryRole role);

// One value of the scenario header (entries 81 to 86) by its meaning.
struct HeaderValue {
  int entry;
  const char* field;    // "area_end"
  const char* meaning;  // "line length"
  std::string text;     // the value as shown: "124000 m (Km 124+000)", "19:20:00", a name
};
// The header values by meaning, in entry order: the progressions, the train, the backgrounds,
// the line name and check code, the signal repetition, train number, sand and start clock.
std::vector<HeaderValue> header_values(const ScenarioRecord& record);

// Text of a JSON string (with its quotes) for UTF-8 text; control characters are escaped.
std::string json_string(std::string_view utf8);

std::string dump_track_cells_text(const std::vector<TrackCell>& cells);
std::string dump_track_cells_json(const std::vector<TrackCell>& cells);
std::string dump_scenario_record_text(const ScenarioRecord& record);
std::string dump_scenario_record_json(const ScenarioRecord& record);
// `step` (metres, at least 1) thins the points shown; metre 0 and the last computed metre always
// appear.
std::string dump_line_plan_text(const LinePlan& plan, int32_t step);
std::string dump_line_plan_json(const LinePlan& plan, int32_t step);

}  // namespace scenario

#endif  // SCENARIO_RENDER_DUMP_H_
