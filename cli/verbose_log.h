// What a tool says with --verbose: each phase of its work and the time it took.
//
// A VerboseLog is a stopwatch with a voice. Each call to phase() prints one line, "PREFIX: WHAT
// (T ms)", where T is the time since the previous phase ended (or since the log was made). When the
// log is not enabled it prints nothing, so the tools stay silent on success by default.
#ifndef SCENARIO_CLI_VERBOSE_LOG_H_
#define SCENARIO_CLI_VERBOSE_LOG_H_

#include <chrono>
#include <ostream>
#include <string>

namespace scenario {

class VerboseLog {
 public:
  VerboseLog(bool enabled, std::ostream& out, std::string prefix);

  bool enabled() const { return enabled_; }
  // Prints the phase just finished with its time, and starts timing the next one.
  void phase(const std::string& what);

 private:
  bool enabled_;
  std::ostream& out_;
  std::string prefix_;
  std::chrono::steady_clock::time_point mark_;
};

}  // namespace scenario

#endif  // SCENARIO_CLI_VERBOSE_LOG_H_
