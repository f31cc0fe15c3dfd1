// The embedded line: the line description of the scenario, 334 lines in seven sections.
//
// The table's entries are the file's lines (UTF-8 here, code page 1252 on disk), closed by the end
// marker.
#ifndef SCENARIO_SCENARIO_LINE_DATA_H_
#define SCENARIO_SCENARIO_LINE_DATA_H_

#include "scenario/line_table.h"

namespace scenario {

LineTable line_data_table();

}  // namespace scenario

#endif  // SCENARIO_SCENARIO_LINE_DATA_H_
