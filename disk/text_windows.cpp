#include "disk/text_windows.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace scenario {

bool wide_from_utf8(std::string_view utf8, std::wstring* wide) {
  wide->clear();
  if (utf8.empty()) return true;
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length <= 0) return false;
  wide->resize(static_cast<size_t>(length));
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide->data(), length) != length) {
    wide->clear();
    return false;
  }
  return true;
}

std::string utf8_from_wide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::string windows_error_reason(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "File exists";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "The file is in use by another program";
    case ERROR_INVALID_NAME:
      return "Invalid file name";
    default:
      break;
  }
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string words;
  if (length > 0 && buffer != nullptr) {
    std::wstring_view message(buffer, length);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                                message.back() == L'.')) {
      message.remove_suffix(1);
    }
    words = utf8_from_wide(message);
  }
  if (buffer != nullptr) LocalFree(buffer);
  if (words.empty()) words = "Windows error";
  return words + " (error " + std::to_string(error) + ")";
}

}  // namespace scenario
