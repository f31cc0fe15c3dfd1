// The POSIX folder lock: flock on the lock file. The holder removes the file before it lets go,
// so a run that took the lock on a file that is no longer the one under the name (its holder
// removed it meanwhile) lets it go and opens the name again.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "disk/file_replace.h"
#include "disk/folder_lock.h"

namespace scenario {
namespace {

// How long a waiting run is silent before it says why it waits, and how often it tries meanwhile.
constexpr auto kSilentWait = std::chrono::seconds(1);
constexpr auto kRetry = std::chrono::milliseconds(20);

// Whether a failure to create the lock file means that no file can be created in the folder.
bool folder_is_read_only(int error_number) {
  return error_number == EACCES || error_number == EROFS || error_number == EPERM;
}

}  // namespace

Status FolderLock::acquire(const std::string& folder, LockWait wait, const std::function<void()>& waiting) {
  release();
  const std::string path = path_in_folder(folder, kFolderLockName);
  const auto start = std::chrono::steady_clock::now();
  bool told = false;
  while (true) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      const int error_number = errno;
      if (folder_is_read_only(error_number)) return Status::Ok();
      return Status::FileSystem(folder, std::string("cannot lock the folder: ") + std::strerror(error_number));
    }
    bool locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!locked && errno == EWOULDBLOCK) {
      if (wait == LockWait::kRefuse) {
        close(fd);
        return Status::FileSystem(folder, kFolderBusyReason);
      }
      while (!locked && std::chrono::steady_clock::now() - start < kSilentWait) {
        std::this_thread::sleep_for(kRetry);
        locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
      }
      if (!locked) {
        if (!told && waiting) waiting();
        told = true;
        while (!locked) {
          locked = flock(fd, LOCK_EX) == 0;
          if (!locked && errno != EINTR) break;
        }
      }
    }
    if (!locked) {
      const int error_number = errno;
      close(fd);
      return Status::FileSystem(folder, std::string("cannot lock the folder: ") + std::strerror(error_number));
    }
    struct stat opened {};
    struct stat named {};
    if (fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
        opened.st_ino == named.st_ino) {
      path_ = path;
      handle_ = fd;
      return Status::Ok();
    }
    close(fd);  // the holder removed it before letting go: the name holds a new lock file, or none
  }
}

void FolderLock::release() {
  if (handle_ == kNoLock) return;
  unlink(path_.c_str());
  close(static_cast<int>(handle_));
  handle_ = kNoLock;
}

}  // namespace scenario
