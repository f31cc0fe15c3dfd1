// The Windows folder lock: the lock file opened with no sharing at all, so that no other process
// can open it while it is held, and deleted by the system when the handle closes (also when the
// process is killed). A run that finds it open elsewhere (a sharing violation, or access denied
// while a closed one is being deleted) tries again every few milliseconds.
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "disk/file_replace.h"
#include "disk/folder_lock.h"
#include "disk/text_windows.h"

namespace scenario {
namespace {

constexpr auto kSilentWait = std::chrono::seconds(1);
constexpr auto kRetry = std::chrono::milliseconds(20);

}  // namespace

Status FolderLock::acquire(const std::string& folder, LockWait wait, const std::function<void()>& waiting) {
  release();
  const std::string path = path_in_folder(folder, kFolderLockName);
  std::wstring wide;
  if (!wide_from_utf8(path, &wide)) return Status::FileSystem(folder, "the path is not valid UTF-8");
  const auto start = std::chrono::steady_clock::now();
  bool told = false;
  while (true) {
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      path_ = path;
      handle_ = reinterpret_cast<intptr_t>(file);
      return Status::Ok();
    }
    const DWORD error = GetLastError();
    // Access is denied both in a folder where nothing can be created and on a lock file that
    // another run has just closed and the system is deleting: only the second leaves the name.
    const bool busy = error == ERROR_SHARING_VIOLATION ||
                      (error == ERROR_ACCESS_DENIED && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!busy) {
      if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) return Status::Ok();
      return Status::FileSystem(folder, "cannot lock the folder: " + windows_error_reason(error));
    }
    if (wait == LockWait::kRefuse) return Status::FileSystem(folder, kFolderBusyReason);
    if (!told && std::chrono::steady_clock::now() - start >= kSilentWait) {
      if (waiting) waiting();
      told = true;
    }
    std::this_thread::sleep_for(kRetry);
  }
}

void FolderLock::release() {
  if (handle_ == kNoLock) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNoLock;
}

}  // namespace scenario
