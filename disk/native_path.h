// Paths for std::filesystem from the program's UTF-8 strings, and back.
//
// The program holds every path as UTF-8 in a std::string. std::filesystem::path built from a
// std::string takes it in the system's narrow encoding: on POSIX the bytes as they are, on
// Windows the ANSI code page, which cannot hold a folder such as "C:\Users\Zoë\Scenari". So on
// Windows the path is converted to UTF-16, the system's own form, here (native_path_windows.cpp).
#ifndef SCENARIO_DISK_NATIVE_PATH_H_
#define SCENARIO_DISK_NATIVE_PATH_H_

#include <filesystem>
#include <string>

namespace scenario {

// The path named by the UTF-8 string `utf8`.
std::filesystem::path path_of(const std::string& utf8);

// The path as a UTF-8 string.
std::string utf8_of(const std::filesystem::path& path);

}  // namespace scenario

#endif  // SCENARIO_DISK_NATIVE_PATH_H_
