// The embedded train: the train description of the scenario, 95 lines.
//
// The table's entries are the file's lines (UTF-8 here, code page 1252 on disk), closed by the end
// marker.
#ifndef SCENARIO_SCENARIO_TRAIN_DATA_H_
#define SCENARIO_SCENARIO_TRAIN_DATA_H_

#include "scenario/line_table.h"

namespace scenario {

LineTable train_data_table();

}  // namespace scenario

#endif  // SCENARIO_SCENARIO_TRAIN_DATA_H_
