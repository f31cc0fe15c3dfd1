// Windows only: the conversions at the boundary between the program, which holds text and paths
// as UTF-8 std::strings, and the Windows API, which takes and gives UTF-16; and the words of a
// system error code.
#ifndef SCENARIO_DISK_TEXT_WINDOWS_H_
#define SCENARIO_DISK_TEXT_WINDOWS_H_

#include <string>
#include <string_view>

namespace scenario {

// UTF-8 to UTF-16 into `wide`; false (and `wide` empty) when `utf8` is not valid UTF-8.
bool wide_from_utf8(std::string_view utf8, std::wstring* wide);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8_from_wide(std::wstring_view wide);

// The reason a Windows error code gives, in words. The errors a file operation commonly meets are
// named as the POSIX build names them ("No such file or directory", "Permission denied", "No
// space left on device", ...), so that a report reads the same on every system; any other is the
// system's own message with its number.
std::string windows_error_reason(unsigned long error);

}  // namespace scenario

#endif  // SCENARIO_DISK_TEXT_WINDOWS_H_
