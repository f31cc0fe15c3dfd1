// The three documents for the person who drives the scenario.
//
// Fixed tables of text lines for a fixed-pitch font: the timetable card (46 lines), the slowdown
// order (44 lines) and the notes (28 lines). Nothing in them is computed; they agree with the
// embedded train by construction, which the tests check.
#ifndef SCENARIO_SCENARIO_DOCUMENTS_H_
#define SCENARIO_SCENARIO_DOCUMENTS_H_

#include "scenario/line_table.h"

namespace scenario {

LineTable timetable_card_table();
LineTable slowdown_order_table();
LineTable notes_table();

}  // namespace scenario

#endif  // SCENARIO_SCENARIO_DOCUMENTS_H_
