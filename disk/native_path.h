// Paths for std::filesystem from the program's UTF-8 strings, and back.
//
// The program holds every path as UTF-8 in a std::string. std::filesystem::path built from a
// std::string takes it in the system's narrow encoding, which on Windows is the ANSI code page and
// cannot hold a folder such as "C:\Users\Zoë\Scenari"; built from UTF-8 (char8_t) it is converted
// to the system's own form (UTF-16 there, the same bytes on POSIX).
#ifndef SCENARIO_DISK_NATIVE_PATH_H_
#define SCENARIO_DISK_NATIVE_PATH_H_

#include <filesystem>
#include <string>

namespace scenario {

// The path named by the UTF-8 string `utf8`.
inline std::filesystem::path path_of(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The path as a UTF-8 string.
inline std::string utf8_of(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

}  // namespace scenario

#endif  // SCENARIO_DISK_NATIVE_PATH_H_
