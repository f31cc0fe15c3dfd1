#include "driver/program_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace scenario {

Status program_folder(std::string* folder) {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return Status::FileSystem("/proc/self/exe", error.message());
  *folder = executable.parent_path().string();
  return Status::Ok();
}

std::string folder_refusal(const std::string& folder) {
  if (access(folder.c_str(), W_OK) != 0) return std::string("cannot be written into: ") + std::strerror(errno);
  std::error_code error;
  const std::filesystem::path here = std::filesystem::weakly_canonical(folder, error);
  if (error) return "";
  for (const char* system :
       {SCENARIO_INSTALL_BINDIR, "/usr/bin", "/bin", "/usr/sbin", "/sbin", "/usr/local/bin", "/usr/local/sbin"}) {
    std::error_code ignored;
    if (std::filesystem::weakly_canonical(system, ignored) == here && !ignored) return "is a system folder";
  }
  return "";
}

}  // namespace scenario
