#include "driver/program_folder.h"

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

}  // namespace scenario
