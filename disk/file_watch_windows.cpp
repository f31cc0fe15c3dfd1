// Windows has no watch yet (ReadDirectoryChangesW would give one): the program says so.
#include "disk/file_watch.h"

namespace scenario {

std::unique_ptr<FileWatch> start_file_watch(const std::vector<std::string>& /*paths*/, Status* status) {
  *status = Status::Usage("watching files is not supported on Windows yet; run 'scenario_tool compile' after each save");
  return nullptr;
}

}  // namespace scenario
