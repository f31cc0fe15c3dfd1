// Reading the three binary files back into the track model, strictly.
//
// The decoders are the inverse of the encoders in binary_outputs.h and share their layout
// constants (binary_layout.h), so the two cannot drift apart. They accept exactly what the model
// can hold and refuse everything else with the byte offset where the file goes wrong:
//  - track cells (.dat): a whole number of 15-byte records, at least one, at most the cells of the
//    longest line (20141);
//  - scenario record (.sim): exactly 87 entries of 34 + n bytes, walked in order; a record that
//    runs past the end, or bytes left after entry 86, are refused;
//  - line record (_linea.dat): 2 * (L + 1) tagged elements, x for metres 0..L then y for 0..L.
//    Each half is either all empty (a plan that was sized but never started) or the shape the line
//    parser leaves: the integer starting points (0, 0) and (0, 1) at metres 0 and 1, doubles from
//    metre 2 on, then empty elements to the end; x and y have the same shape. A zero-byte file is
//    a plan that was never sized.
// Nothing here throws or reads outside the given bytes, whatever they hold.
#ifndef SCENARIO_FORMAT_BINARY_INPUTS_H_
#define SCENARIO_FORMAT_BINARY_INPUTS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/rounding.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {

// The most cells a track cells file may hold: those of the longest line the compiler accepts.
inline constexpr size_t kMaxDecodedCells = static_cast<size_t>(kMaxCellCount) + 1;
static_assert(kMaxDecodedCells == 20141);
// The longest plan a line record may hold: the longest line plus the cells past its end.
inline constexpr int32_t kMaxDecodedPlanLength = kMaxLineLength + kCellsPastLineEnd;

// Decodes a track cells file into `cells` (cell i from byte 15 * i). On failure `cells` is left
// empty.
Status decode_track_cells(std::string_view bytes, std::vector<TrackCell>* cells);

// Decodes a scenario record file into `record`. On failure `record` is left cleared.
Status decode_scenario_record(std::string_view bytes, ScenarioRecord* record);

// Decodes a line record file into `plan`. On failure `plan` is left cleared (not allocated).
Status decode_line_plan(std::string_view bytes, LinePlan* plan);

// Fills the parts of a compile state that follow from decoded files: cells and cell_count from
// `cells`, the station table and the two names (entries 85 and 86) from `record`, the plan and
// plan_length from `plan` (plan_length stays 0 for a plan that was never sized).
void adopt_decoded(std::vector<TrackCell> cells, const ScenarioRecord& record, LinePlan plan, ScenarioModel* model);

}  // namespace scenario

#endif  // SCENARIO_FORMAT_BINARY_INPUTS_H_
