#include "disk/native_path.h"

#include <filesystem>
#include <string>

#include "disk/text_windows.h"

namespace scenario {

// Text that is not valid UTF-8 gives an empty path, which every file operation refuses.
std::filesystem::path path_of(const std::string& utf8) {
  std::wstring wide;
  wide_from_utf8(utf8, &wide);
  return std::filesystem::path(wide);
}

std::string utf8_of(const std::filesystem::path& path) { return utf8_from_wide(path.native()); }

}  // namespace scenario
