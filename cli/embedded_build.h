// The build of the embedded scenario into a folder, shared by scenario_build (into its own folder)
// and scenario_tool build (into --out): the five text files (line description, train description,
// notes, slowdown order, timetable card) written, the two descriptions read back and compiled, the
// three binary files written, the descriptions removed.
//
// The run owns the folder from before its first file to its last rename (FolderSink::claim). Every
// description the run wrote is removed again whatever ends the run; the six kept files are
// replaced as one set at the end (the documents also when the compile fails).
#ifndef SCENARIO_CLI_EMBEDDED_BUILD_H_
#define SCENARIO_CLI_EMBEDDED_BUILD_H_

#include <string>

#include "disk/folder_lock.h"
#include "model/status.h"

namespace scenario {

struct EmbeddedBuildResult {
  int status = kExitClean;  // 0, 1 (compile error) or 3 (a file), reported on standard error
  int fatal = 0;            // the fatal report's number; the caller reports it (status 2)
};

// Builds the embedded scenario into `folder`. `program` prefixes every report; a run that waits
// for the folder's lock says so after a moment; with LockWait::kRefuse a folder another run is
// writing into is refused (status 3).
EmbeddedBuildResult build_embedded_scenario(const std::string& folder, const char* program, LockWait wait);

}  // namespace scenario

#endif  // SCENARIO_CLI_EMBEDDED_BUILD_H_
