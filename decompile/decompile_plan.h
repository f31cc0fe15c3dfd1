// Curves from the plan of the line.
//
// The plan holds a point per metre, computed by the plan recurrence (plan_recurrence.h): from
// metre 2 each point is the one before plus the step before, turned by the heading change per
// metre c of the curve that covers the metre (0 on the straight). recover_curves finds, metre by
// metre, the c that gives the point exactly: an estimate from the turn of the step, snapped to the
// nearest class and checked by recomputing the point with the recurrence (every class is tried
// when the nearest one does not give it). Each run of metres with one nonzero c is a curve
// record, starting one metre before its first turned metre; the straight metres between are what
// the compile lays between curves. Linear in the plan's length.
//
// A point no class gives, a plan that stops short of metre plan_length - 2, or a plan whose length
// is not line length + 7000 is a finding; the curves are still recovered from the points as they
// stand.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_PLAN_H_
#define SCENARIO_DECOMPILE_DECOMPILE_PLAN_H_

#include <cstdint>
#include <vector>

#include "decompile/decompile_findings.h"
#include "description/description_records.h"
#include "model/track_model.h"

namespace scenario {

std::vector<CurveRecord> recover_curves(const LinePlan& plan, int32_t line_length, Findings& findings);

// The heading change per metre of a curve record, signed as the compile applies it.
double curve_curvature(const CurveRecord& curve);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_PLAN_H_
