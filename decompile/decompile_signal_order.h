// The order of the signal records in a recovered train description. A signal writes its approach
// codes on the 2nd, 4th, 6th and 8th cells before it, and a station its approach boards' codes on
// the four cells before its stop marker; where two of them share a cell, the one written last
// leaves its code. The files tell, cell by cell, who was written last; this finds an order of the
// signals that gives every such cell its code: each signal after those it overwrote, and before
// the stations whose boards overwrote it (those signals are written before the stations).
//
// The stations keep their own order (ascending), and the signals keep theirs wherever the cells do
// not ask otherwise, so files whose signals were written in ascending order after the stations get
// the usual description back.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_SIGNAL_ORDER_H_
#define SCENARIO_DECOMPILE_DECOMPILE_SIGNAL_ORDER_H_

#include "decompile/decompile_findings.h"
#include "description/description_records.h"
#include "model/track_model.h"

namespace scenario {

// Reorders `train.signals` and sets `train.signals_before_stations`. Where no order of this
// layout gives the files' codes (a signal that must come both before and after a station, or
// writers that each overwrote the other), the order found nearest is kept and the place is a
// finding.
void order_signals(const ScenarioModel& files, TrainDescription& train, Findings& findings);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_SIGNAL_ORDER_H_
