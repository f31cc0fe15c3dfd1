// The record kinds of both descriptions as the writer lays them out: each kind's keyword, its
// fields in file order with their names and units, and the blanks (or the right-aligned width)
// the writer puts before each value.
//
// The table serves the layout of descriptions (description_layout.h) and the editor's help on a
// record (hover, completion, outline). It describes the writer's records only: the parsers'
// keyword tests are wider ("velocit" matches "velocita"), and a record the table does not know
// is simply not laid out.
#ifndef SCENARIO_DESCRIPTION_RECORD_KINDS_H_
#define SCENARIO_DESCRIPTION_RECORD_KINDS_H_

#include <span>
#include <string_view>

namespace scenario {

enum class DescriptionKind { kLine, kTrain };

// What a value stands for, for explaining it.
enum class FieldUnit {
  kNumber,      // a count, a code or a flag
  kPosition,    // metres from the start of the line
  kMetres,      // a length in metres
  kKmh,         // a speed in km/h
  kPerMille,    // a gradient
  kHours,       // hours of a time
  kMinutes,     // minutes of a time
  kSeconds,     // seconds of a time (or a duration in seconds)
  kPercent,
  kText,        // the rest of the line (a name or a board's legend)
};

// The unit's short name, as shown beside a value ("m", "km/h", ""...).
std::string_view unit_name(FieldUnit unit);

struct RecordField {
  const char* name;     // the field's name ("posizione", "v")
  const char* meaning;  // a few words on the value
  FieldUnit unit;
  const char* separator;      // what the writer writes before the value (after the keyword or the value before)
  int width = 0;              // the value right-aligned in this many characters (0: as it is)
  bool empty_when_zero = false;  // the writer leaves the value empty when it is 0
};

struct RecordKind {
  const char* keyword;  // as the writer writes it; "curva" stands for "curvas1".."curvad6"
  const char* title;    // the record's name in words
  DescriptionKind description;
  std::span<const RecordField> fields;
  const char* tail = "";          // written after the last value
  bool first_of_section = false;  // the layout of a section's first record of its keyword
};

// Every record kind, line description first, in the writer's order. A keyword with a different
// layout for its section's first record appears twice, the first record's layout first.
std::span<const RecordKind> record_kinds();

// The kind of a record whose keyword field (blanks around it removed) is exactly a writer's
// keyword: "curva" followed by 's' or 'd' and a digit, "ripetizione segnali N codici" with N a
// number, or one of the others. `first_of_section` picks the first record's layout where the
// writer has one. nullptr for any other keyword.
const RecordKind* find_record_kind(std::string_view keyword, bool first_of_section = false);

// The section headers the writer writes, "[generale]" to "[fine]".
std::span<const std::string_view> section_headers();

}  // namespace scenario

#endif  // SCENARIO_DESCRIPTION_RECORD_KINDS_H_
