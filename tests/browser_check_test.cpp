// The rendered page of the embedded scenario, opened in headless Chromium (tools/browser_check.sh).
//
// Continuous integration installs Chromium and must run this check; elsewhere a machine without
// Chromium skips it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::run_command;
using testing::TempFolder;

bool chromium_available() {
  return run_command("command -v chromium || command -v chromium-browser", nullptr) == 0;
}

TEST(BrowserCheck, TheEmbeddedScenarioPageLabelsWithoutOverlapZoomsAndRequestsNothing) {
  if (!chromium_available()) {
    if (std::getenv("CI") != nullptr) FAIL() << "chromium is not installed; .ci/run installs it";
    GTEST_SKIP() << "chromium is not installed (apt-get install -y chromium)";
  }
  TempFolder folder;
  std::string output;
  const int status = run_command(std::string("bash ") + SCENARIO_SOURCE_DIR + "/tools/browser_check.sh " +
                                     SCENARIO_BUILD_BIN + " " + SCENARIO_TOOL_BIN + " " + folder.file("check"),
                                 &output);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("browser check: 0 failed"), std::string::npos) << output;
  // The measurements the check is for, each made in the laid-out page.
  for (const char* line : {"ok    plan at rest: no two station labels intersect",
                           "ok    profile at rest: no two station labels intersect",
                           "ok    plan zoomed in: no two station labels intersect",
                           "ok    profile zoomed in: no two station labels intersect",
                           "ok    chart at rest: a time label for each of the 16 stations with a time",
                           "ok    profile at rest: gradient figures in per mille",
                           "ok    the page requests nothing from the network"}) {
    EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
  }
}

}  // namespace
}  // namespace scenario
