#include "cli/verbose_log.h"

#include <cstdio>
#include <utility>

namespace scenario {

VerboseLog::VerboseLog(bool enabled, std::ostream& out, std::string prefix)
    : enabled_(enabled), out_(out), prefix_(std::move(prefix)), mark_(std::chrono::steady_clock::now()) {}

void VerboseLog::phase(const std::string& what) {
  const auto now = std::chrono::steady_clock::now();
  if (enabled_) {
    const double milliseconds = std::chrono::duration<double, std::milli>(now - mark_).count();
    char time_text[32];
    std::snprintf(time_text, sizeof time_text, "%.3f ms", milliseconds);
    out_ << prefix_ << ": " << what << " (" << time_text << ")\n";
  }
  mark_ = std::chrono::steady_clock::now();
}

}  // namespace scenario
