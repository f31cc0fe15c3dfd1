// Line tables and the table writer shared by the five text writers.
//
// A line table is a fixed list of text lines (UTF-8 in the source) closed by the end marker
// "riferimento fine del file", which is never written. scrivi_righe replaces a file with the
// entries before the marker, each followed by CR LF, encoded in code page 1252, exactly as stored:
// leading and trailing blanks stay, an empty entry is an empty line, a marker at index 0 gives an
// empty file. A table without a marker is written whole.
#ifndef SCENARIO_SCENARIO_LINE_TABLE_H_
#define SCENARIO_SCENARIO_LINE_TABLE_H_

#include <span>
#include <string>
#include <string_view>

#include "format/output_sink.h"
#include "model/status.h"

namespace scenario {

inline constexpr std::string_view kEndMarker = "riferimento fine del file";

using LineTable = std::span<const std::string_view>;

// The bytes scrivi_righe writes for a table.
std::string render_table(LineTable righe);

// Replaces the file `name` in the sink with the table's lines.
Status scrivi_righe(OutputSink& sink, const std::string& name, LineTable righe);

}  // namespace scenario

#endif  // SCENARIO_SCENARIO_LINE_TABLE_H_
