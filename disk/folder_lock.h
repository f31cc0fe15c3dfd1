// The lock of an output folder: a run that writes a set of files into a folder owns the folder
// from before its first file to its last rename, so that two runs never mix their files.
//
// The lock is an exclusive lock on the file ".~scenario-lock~" in the folder, which the system
// gives up when the process ends however it ends (flock on POSIX; on Windows the file is opened
// with no sharing and deleted when its handle closes). A second run finds the lock taken and
// either waits for it (calling `waiting` once after about a second, so that its user knows why
// nothing happens) or refuses at once. The holder removes the lock file when it lets go; a lock
// file left by a killed run is taken and removed by the next one.
//
// A folder in which no file can be created (no permission, read-only file system) is not locked:
// no run can write there either, and the run's first file then reports why.
#ifndef SCENARIO_DISK_FOLDER_LOCK_H_
#define SCENARIO_DISK_FOLDER_LOCK_H_

#include <cstdint>
#include <functional>
#include <string>

#include "model/status.h"

namespace scenario {

// The name of the lock file in a locked folder.
inline constexpr const char* kFolderLockName = ".~scenario-lock~";

enum class LockWait { kWait, kRefuse };

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock() { release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes the lock of `folder`. With LockWait::kRefuse a lock held by another run is a FileSystem
  // status naming the folder; with kWait the call returns once the lock is free, having called
  // `waiting` (when given) if that took more than about a second.
  Status acquire(const std::string& folder, LockWait wait, const std::function<void()>& waiting = {});
  // Lets the lock go and removes its file; nothing when not held.
  void release();
  bool held() const { return handle_ != kNoLock; }

 private:
  static constexpr intptr_t kNoLock = -1;
  std::string path_;
  intptr_t handle_ = kNoLock;
};

// The reason of the status of a lock another run holds, for LockWait::kRefuse.
inline constexpr const char* kFolderBusyReason = "another run is writing into this folder; not waiting for it";

}  // namespace scenario

#endif  // SCENARIO_DISK_FOLDER_LOCK_H_
