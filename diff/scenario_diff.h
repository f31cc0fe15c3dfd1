// The changes between two compiled scenarios, by meaning: what an author changed in the
// descriptions, read back from the files.
//
// Both scenarios are read back into description records (decompile's recovery) and compared as an
// author thinks of them, not as bytes or entry numbers:
//  - header values (names, line length, progressions, backgrounds, signal repetition, cars, braked
//    mass, sand, clock), each old and new;
//  - stations by name (the n-th of a name with the n-th): added, removed, moved (position),
//    retimed (departure time), or other values changed;
//  - signals, slowdowns, speed indicator boards, line-side boards and cut-off points by position:
//    one at the same position with other values is changed; one gone from a position and one come
//    at another with the same values is moved (the nearest such pair first); the rest added or
//    removed;
//  - speed limits, gradients, adhesion and mountain types by stretch: each run of cells whose old
//    and new value differ, from where the stretch values hold (model/cell_values.h);
//  - the plan: the stretch of metres whose points moved, and by how much at most.
// Changes come in that order, each kind in the order of the line. An empty list: nothing differs.
#ifndef SCENARIO_DIFF_SCENARIO_DIFF_H_
#define SCENARIO_DIFF_SCENARIO_DIFF_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/track_model.h"

namespace scenario {

// One value of a change, old and new, as shown ("08:06:00", "100 km/h", "none").
struct FieldChange {
  std::string field;
  std::string old_value;
  std::string new_value;

  bool operator==(const FieldChange&) const = default;
};

struct ScenarioChange {
  std::string kind;     // "header", "station", "signal", "slowdown", "speed board", "board",
                        // "cut-off point", "speed limit", "gradient", "adhesion", "mountain type", "plan"
  std::string change;   // "added", "removed", "moved", "retimed", "changed"
  std::string subject;  // a station's name; empty for the others
  std::optional<int64_t> old_at;  // metres: where it stood (a stretch: where it starts)
  std::optional<int64_t> new_at;
  std::optional<int64_t> to;      // a stretch's or the plan's end, metres
  std::vector<FieldChange> fields;

  bool operator==(const ScenarioChange&) const = default;
};

// `old_files` and `new_files` hold decoded files (adopt_decoded), the plan when it was given.
std::vector<ScenarioChange> scenario_diff(const ScenarioModel& old_files, const ScenarioModel& new_files);

// One line per change ("station CASTAGNETO at Km 5+000: retimed: departure 08:06:00 -> 08:07:00"),
// nothing for no change.
std::string diff_text(const std::vector<ScenarioChange>& changes);
// A JSON document: {"changes": [...], "count": N}, each change with its kind, change, subject,
// metres and fields.
std::string diff_json(const std::vector<ScenarioChange>& changes);

}  // namespace scenario

#endif  // SCENARIO_DIFF_SCENARIO_DIFF_H_
