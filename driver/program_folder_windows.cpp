#include <windows.h>

#include <string>

#include "disk/text_windows.h"
#include "driver/program_folder.h"

namespace scenario {

// The executable's path from GetModuleFileNameW, in a buffer that grows until the path fits
// (paths may be longer than MAX_PATH), converted to UTF-8.
Status program_folder(std::string* folder) {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return Status::FileSystem("GetModuleFileNameW", "the program's own path is unknown");
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t separator = path.find_last_of(L"\\/");
  *folder = utf8_from_wide(separator == std::wstring::npos ? std::wstring(L".") : path.substr(0, separator));
  return Status::Ok();
}

std::string folder_refusal(const std::string& /*folder*/) { return ""; }

}  // namespace scenario
