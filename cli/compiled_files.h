// Loading the simulator's compiled files from disk for the tools: read whole, then decode.
//
// The kind of a compiled file follows from its name, as the compiler names them: LINE_linea.dat is
// the line record (plan), LINE_TRAIN.sim the scenario record and LINE_TRAIN.dat the track cells.
// A file that cannot be read, or whose bytes do not decode, is a file-system Status carrying its
// path and the reason (with the byte offset for a decoding failure). A file larger than the largest
// valid file of its kind (302115 bytes of cells, 5704503 of scenario record, 20140020 of line
// record) is refused before it is read.
#ifndef SCENARIO_CLI_COMPILED_FILES_H_
#define SCENARIO_CLI_COMPILED_FILES_H_

#include <string>
#include <vector>

#include "cli/verbose_log.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {

enum class CompiledFileKind { kUnknown, kTrackCells, kScenarioRecord, kLinePlan };

// The kind of a compiled file by its name: "_linea.dat" plan, ".sim" record, other ".dat" cells.
CompiledFileKind compiled_file_kind(const std::string& path);

// Each reads the file at `path` and decodes it, telling `log` what it read and decoded.
Status load_track_cells(const std::string& path, std::vector<TrackCell>* cells, VerboseLog& log);
Status load_scenario_record(const std::string& path, ScenarioRecord* record, VerboseLog& log);
Status load_line_plan(const std::string& path, LinePlan* plan, VerboseLog& log);

// Reads and decodes a scenario's files into `model` (adopt_decoded): the track cells, the scenario
// record and, when `plan_path` is not empty, the line record, which must hold a plan (an empty one
// is refused). Nothing is adopted unless every file decodes.
Status load_compiled_scenario(const std::string& dat_path, const std::string& sim_path, const std::string& plan_path,
                              ScenarioModel* model, VerboseLog& log);

}  // namespace scenario

#endif  // SCENARIO_CLI_COMPILED_FILES_H_
