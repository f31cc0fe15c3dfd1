#include "driver/build_sequence.h"

#include <string>

#include "cli/embedded_build.h"
#include "compiler/error_catalogue.h"
#include "driver/notices.h"

namespace scenario {

void errore(const std::string& number) { show_fatal_report(fatal_report(number)); }

int Form_Load(const std::string& folder) {
  // The wait notice comes first, before any work.
  show_wait_notice();
  const EmbeddedBuildResult result = build_embedded_scenario(folder, "scenario_build", LockWait::kWait);
  if (result.fatal != 0) errore(std::to_string(result.fatal));
  return result.status;
}

}  // namespace scenario
