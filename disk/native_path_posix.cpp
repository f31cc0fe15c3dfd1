#include "disk/native_path.h"

#include <filesystem>
#include <string>

namespace scenario {

std::filesystem::path path_of(const std::string& utf8) { return std::filesystem::path(utf8); }

std::string utf8_of(const std::filesystem::path& path) { return path.string(); }

}  // namespace scenario
