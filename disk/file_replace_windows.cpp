// The Windows half of whole-file replacement (disk/file_replace_platform.h), with the Windows API's
// wide-character functions: each path, UTF-8 outside, is converted to UTF-16 at the call.
//
// A temporary is ".NAME.~scenario-tmp~" with the writer's process number and a count
// (temporary_name) in the file's folder, created new (CREATE_NEW), written with WriteFile, flushed
// with FlushFileBuffers and moved over NAME with MoveFileExW (MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH) while its writer still holds it open, so that it is never without an
// owner until it has its name. Windows has no advisory lock that a killed process gives up and that
// another can test as flock does; the writer's process number in the name takes its place: a later
// replacement removes a temporary of NAME only when no process with that number runs (a number
// reused by another process keeps the temporary until a later run, never removes a live one).
// Windows has no unnamed temporaries and no call that starts writeback without waiting:
// allow_unnamed_temporaries has nothing to change, and a durable file's bytes go to disk at its
// flush.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "disk/file_replace.h"
#include "disk/file_replace_platform.h"
#include "disk/text_windows.h"

namespace scenario {
namespace disk_platform {

namespace {

constexpr int kCreateAttempts = 100;
constexpr DWORD kReadChunk = DWORD{1} << 16;

HANDLE handle_of(const Temporary& temporary) { return reinterpret_cast<HANDLE>(temporary.handle); }

bool is_separator(char c) { return c == '\\' || c == '/'; }

size_t last_separator(const std::string& path) { return path.find_last_of("\\/"); }

// The path as UTF-16 for the Windows API; a failure names the path.
Status wide_path(const std::string& path, std::wstring* wide) {
  if (wide_from_utf8(path, wide)) return Status::Ok();
  return Status::FileSystem(path, "the path is not valid UTF-8");
}

Status failure(const std::string& path, const std::string& what, DWORD error) {
  return Status::FileSystem(path, what + windows_error_reason(error));
}

// Whether a process with the number `pid` runs now. A process that exists but may not be queried
// counts as running.
bool process_runs(DWORD pid) {
  if (pid == GetCurrentProcessId()) return true;
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool runs = GetExitCodeProcess(process, &code) != 0 && code == STILL_ACTIVE;
  CloseHandle(process);
  return runs;
}

}  // namespace

char folder_separator() { return '\\'; }

// The folder of "C:\x" is "C:\", of "\x" is "\", of a bare name ".".
std::string folder_of(const std::string& path) {
  const size_t slash = last_separator(path);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

std::string base_of(const std::string& path) {
  const size_t slash = last_separator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> hidden_names(const std::string& folder) {
  std::vector<std::string> names;
  std::wstring pattern;
  const std::string folder_pattern =
      folder.empty() || is_separator(folder.back()) ? folder + "*" : folder + folder_separator() + "*";
  if (!wide_path(folder_pattern, &pattern).ok()) return names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring_view name(found.cFileName);
    if (name.starts_with(L'.') && name != L"." && name != L"..") names.push_back(utf8_from_wide(name));
  } while (FindNextFileW(search, &found) != 0);
  FindClose(search);
  return names;
}

void remove_stale_temporaries(const std::string& folder, const std::string& base,
                              const std::vector<std::string>& hidden) {
  for (const std::string& name : hidden) {
    if (!is_temporary_of(name, base)) continue;
    if (process_runs(static_cast<DWORD>(writer_of(name)))) continue;
    std::wstring path;
    if (!wide_path(path_in_folder(folder, name), &path).ok()) continue;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
      continue;
    }
    disk_step();
    DeleteFileW(path.c_str());
  }
}

Status open_temporary(const std::string& path, Temporary* temporary) {
  const std::string folder = folder_of(path);
  const std::string base = base_of(path);
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const std::string name = path_in_folder(folder, temporary_name(base, attempt));
    std::wstring wide;
    Status status = wide_path(name, &wide);
    if (!status.ok()) return Status::FileSystem(path, "cannot create a file in its folder: " + status.reason());
    // Others may read it and move or delete it (its writer moves it while it is open), not write it.
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      temporary->handle = reinterpret_cast<intptr_t>(file);
      temporary->name = name;
      return Status::Ok();
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      return failure(path, "cannot create a file in its folder: ", error);
    }
  }
  return Status::FileSystem(path, "cannot create a file in its folder: no free temporary name");
}

Status write_chunk(const Temporary& temporary, const char* bytes, size_t size, uint64_t /*offset*/, Sync /*sync*/) {
  size_t written = 0;
  while (written < size) {
    disk_step();
    const DWORD part = static_cast<DWORD>(std::min<size_t>(size - written, DWORD{1} << 30));
    DWORD n = 0;
    if (WriteFile(handle_of(temporary), bytes + written, part, &n, nullptr) == 0) {
      return Status::FileSystem("", windows_error_reason(GetLastError()));
    }
    written += n;
  }
  return Status::Ok();
}

Status flush(const std::string& path, Temporary* temporary) {
  disk_step();
  if (FlushFileBuffers(handle_of(*temporary)) == 0) return failure(path, "cannot write: ", GetLastError());
  return Status::Ok();
}

// Every temporary is named from the start.
Status name_temporary(const std::string& /*path*/, Temporary* /*temporary*/) { return Status::Ok(); }

Status publish(const std::string& path, Temporary* temporary) {
  std::wstring from;
  std::wstring to;
  Status status = wide_path(temporary->name, &from);
  if (status.ok()) status = wide_path(path, &to);
  if (!status.ok()) return Status::FileSystem(path, "cannot replace: " + status.reason());
  disk_step();
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    return failure(path, "cannot replace: ", GetLastError());
  }
  temporary->name.clear();
  return Status::Ok();
}

bool is_folder(const std::string& path) {
  std::wstring wide;
  if (!wide_from_utf8(path, &wide)) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Status move_over(const std::string& from, const std::string& to, bool* missing) {
  *missing = false;
  std::wstring wide_from;
  std::wstring wide_to;
  Status status = wide_path(from, &wide_from);
  if (status.ok()) status = wide_path(to, &wide_to);
  if (!status.ok()) return Status::FileSystem(to, "cannot replace: " + status.reason());
  disk_step();
  if (MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return Status::Ok();
  }
  const DWORD error = GetLastError();
  *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  return failure(to, "cannot replace: ", error);
}

// MoveFileExW with MOVEFILE_WRITE_THROUGH returns once the rename is on the disk.
void flush_folder(const std::string& /*folder*/) {}

uint32_t process_number() { return static_cast<uint32_t>(GetCurrentProcessId()); }

void close_temporary(Temporary* temporary) {
  if (temporary->handle != kNoHandle) CloseHandle(handle_of(*temporary));
  temporary->handle = kNoHandle;
  if (!temporary->name.empty()) {
    std::wstring wide;
    if (wide_from_utf8(temporary->name, &wide)) {
      disk_step();
      DeleteFileW(wide.c_str());
    }
    temporary->name.clear();
  }
}

}  // namespace disk_platform

using disk_platform::disk_step;
using disk_platform::kReadChunk;

void allow_unnamed_temporaries(bool /*allowed*/) {}

Status read_file(const std::string& path, std::string* bytes, bool* missing, uint64_t limit) {
  if (missing != nullptr) *missing = false;
  std::wstring wide;
  if (!wide_from_utf8(path, &wide)) return Status::FileSystem(path, "cannot read: the path is not valid UTF-8");
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (missing != nullptr && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) *missing = true;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return Status::FileSystem(path, "cannot read: Is a directory");
    }
    return disk_platform::failure(path, "cannot read: ", error);
  }
  auto too_large = [&](const std::string& size) {
    CloseHandle(file);
    bytes->clear();
    return Status::FileSystem(path, "not read: the file holds " + size + " bytes, more than the " +
                                        std::to_string(limit) + " that such a file can hold");
  };
  bytes->clear();
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) != 0) {
    if (static_cast<uint64_t>(size.QuadPart) > limit) return too_large(std::to_string(size.QuadPart));
    bytes->reserve(static_cast<size_t>(size.QuadPart));
  }
  std::string buffer(kReadChunk, '\0');
  while (true) {
    DWORD n = 0;
    if (ReadFile(file, buffer.data(), kReadChunk, &n, nullptr) == 0) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return disk_platform::failure(path, "cannot read: ", error);
    }
    if (n == 0) break;
    if (bytes->size() + n > limit) return too_large("more than " + std::to_string(limit));
    bytes->append(buffer, 0, n);
  }
  CloseHandle(file);
  return Status::Ok();
}

Status remove_file(const std::string& path) {
  std::wstring wide;
  if (!wide_from_utf8(path, &wide)) return Status::FileSystem(path, "cannot delete: the path is not valid UTF-8");
  disk_step();
  if (DeleteFileW(wide.c_str()) == 0) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      return disk_platform::failure(path, "cannot delete: ", error);
    }
  }
  return Status::Ok();
}

}  // namespace scenario
