// The POSIX half of whole-file replacement (disk/file_replace_platform.h): unnamed temporaries
// (O_TMPFILE, named with linkat just before the rename) where the file system has them, named
// ones locked with flock elsewhere, writeback started chunk by chunk (sync_file_range), fdatasync
// and rename; and reading and removing files.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "disk/file_replace.h"
#include "disk/file_replace_platform.h"

namespace scenario {
namespace disk_platform {

namespace {

constexpr int kCreateAttempts = 100;
bool unnamed_temporaries_allowed = true;

std::string reason_of(int error_number) { return std::strerror(error_number); }

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

int fd_of(const Temporary& temporary) { return static_cast<int>(temporary.handle); }

// An unnamed temporary in `folder`, when the file system has them and /proc/self/fd can give it a
// name later; -1 otherwise.
int open_unnamed(const std::string& folder) {
  if (!unnamed_temporaries_allowed) return -1;
  const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat st {};
  if (flock(fd, LOCK_EX) != 0 || stat(("/proc/self/fd/" + std::to_string(fd)).c_str(), &st) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// A new named temporary of `path` (temporary_name), locked. A temporary that a cleaner removed
// before the lock was taken is given up and another one made.
Status open_named(const std::string& path, Temporary* temporary) {
  const std::string folder = folder_of(path);
  const std::string base = base_of(path);
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const std::string name = path_in_folder(folder, temporary_name(base, attempt));
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return Status::FileSystem(path, "cannot create a file in its folder: " + reason_of(errno));
    }
    struct stat opened {};
    struct stat named {};
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &opened) == 0 && lstat(name.c_str(), &named) == 0 &&
        same_file(opened, named)) {
      temporary->handle = fd;
      temporary->name = name;
      return Status::Ok();
    }
    close(fd);
  }
  return Status::FileSystem(path, "cannot create a file in its folder: no free temporary name");
}

Status write_all(int fd, const char* bytes, size_t size) {
  size_t written = 0;
  while (written < size) {
    disk_step();
    const ssize_t n = write(fd, bytes + written, size - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::FileSystem("", reason_of(errno));
    }
    written += static_cast<size_t>(n);
  }
  return Status::Ok();
}

// Whether a failure of sync_file_range is the file's own: a real I/O or space error, a write
// failure. Any other error means the call does not work here (ENOSYS, EINVAL, ESPIPE, ...), and
// the flush before the rename does it all.
bool is_write_failure(int error_number) {
  return error_number == EIO || error_number == ENOSPC || error_number == EDQUOT;
}

// Asks the kernel to start writing `size` bytes at `offset` out to disk, without waiting.
Status start_writeback(int fd, uint64_t offset, size_t size) {
  if (sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE) != 0 &&
      is_write_failure(errno)) {
    return Status::FileSystem("", reason_of(errno));
  }
  return Status::Ok();
}

}  // namespace

char folder_separator() { return '/'; }

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string base_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names in `folder` that start with a dot: every temporary is among them. A folder that
// cannot be listed gives none (creating the temporary then reports the problem).
std::vector<std::string> hidden_names(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.' && std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names.emplace_back(entry->d_name);
    }
  }
  closedir(dir);
  return names;
}

// Removes, of the `hidden` names in `folder`, the named temporaries of `base` (exactly the form
// temporary_name gives) left by processes that have ended: their flock is free. A temporary whose lock is held belongs
// to a live writer and is left alone; so is anything that is not a regular file.
void remove_stale_temporaries(const std::string& folder, const std::string& base,
                              const std::vector<std::string>& hidden) {
  for (const std::string& name : hidden) {
    if (!is_temporary_of(name, base)) continue;
    const std::string path = path_in_folder(folder, name);
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {};
    struct stat named {};
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        lstat(path.c_str(), &named) == 0 && same_file(opened, named)) {
      disk_step();
      unlink(path.c_str());
    }
    close(fd);
  }
}

Status open_temporary(const std::string& path, Temporary* temporary) {
  temporary->handle = open_unnamed(folder_of(path));
  if (temporary->handle >= 0) return Status::Ok();
  return open_named(path, temporary);
}

// Writes one chunk at `offset` of the temporary and, for a durable file, starts its writeback.
Status write_chunk(const Temporary& temporary, const char* bytes, size_t size, uint64_t offset, Sync sync) {
  Status status = write_all(fd_of(temporary), bytes, size);
  if (status.ok() && sync == Sync::kDurable) status = start_writeback(fd_of(temporary), offset, size);
  return status;
}

// Flushes the temporary's bytes and what is needed to read them back to disk. A file system that
// cannot flush (EINVAL, EROFS) has nothing to flush.
Status flush(const std::string& path, Temporary* temporary) {
  disk_step();
  if (fdatasync(fd_of(*temporary)) != 0 && errno != EINVAL && errno != EROFS) {
    return Status::FileSystem(path, "cannot write: " + reason_of(errno));
  }
  return Status::Ok();
}

// Gives an unnamed temporary a name (temporary_name) with linkat through /proc/self/fd.
Status name_temporary(const std::string& path, Temporary* temporary) {
  if (!temporary->name.empty()) return Status::Ok();
  const std::string from = "/proc/self/fd/" + std::to_string(fd_of(*temporary));
  const std::string folder = folder_of(path);
  const std::string base = base_of(path);
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const std::string name = path_in_folder(folder, temporary_name(base, attempt));
    disk_step();
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temporary->name = name;
      return Status::Ok();
    }
    if (errno != EEXIST) return Status::FileSystem(path, "cannot write: " + reason_of(errno));
  }
  return Status::FileSystem(path, "cannot write: no free temporary name");
}

// Names the complete temporary, when it has no name yet, and renames it over `path`.
Status publish(const std::string& path, Temporary* temporary) {
  const Status status = name_temporary(path, temporary);
  if (!status.ok()) return status;
  disk_step();
  if (rename(temporary->name.c_str(), path.c_str()) != 0) {
    return Status::FileSystem(path, "cannot replace: " + reason_of(errno));
  }
  temporary->name.clear();
  return Status::Ok();
}

bool is_folder(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Status move_over(const std::string& from, const std::string& to, bool* missing) {
  *missing = false;
  disk_step();
  if (rename(from.c_str(), to.c_str()) == 0) return Status::Ok();
  *missing = errno == ENOENT;
  return Status::FileSystem(to, "cannot replace: " + reason_of(errno));
}

void flush_folder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  disk_step();
  fsync(fd);
  close(fd);
}

uint32_t process_number() { return static_cast<uint32_t>(getpid()); }

// Closes the temporary, removing its name first when it was not renamed. Closing releases the
// lock only now, after the rename: until then a cleaner leaves it alone. The bytes went out with
// write(2) (and were flushed when asked), so close has nothing left to report.
void close_temporary(Temporary* temporary) {
  if (!temporary->name.empty()) {
    disk_step();
    unlink(temporary->name.c_str());
    temporary->name.clear();
  }
  if (temporary->handle != kNoHandle) close(fd_of(*temporary));
  temporary->handle = kNoHandle;
}

}  // namespace disk_platform

using disk_platform::disk_step;
using disk_platform::reason_of;

void allow_unnamed_temporaries(bool allowed) { disk_platform::unnamed_temporaries_allowed = allowed; }

Status read_file(const std::string& path, std::string* bytes, bool* missing, uint64_t limit) {
  if (missing != nullptr) *missing = false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int error_number = errno;
    if (missing != nullptr && error_number == ENOENT) *missing = true;
    return Status::FileSystem(path, "cannot read: " + reason_of(error_number));
  }
  auto too_large = [&](const std::string& size) {
    close(fd);
    bytes->clear();
    return Status::FileSystem(path, "not read: the file holds " + size + " bytes, more than the " +
                                        std::to_string(limit) + " that such a file can hold");
  };
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (static_cast<uint64_t>(st.st_size) > limit) return too_large(std::to_string(st.st_size));
  }
  bytes->clear();
  if (S_ISREG(st.st_mode)) bytes->reserve(static_cast<size_t>(st.st_size));
  char buffer[1 << 16];
  while (true) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error_number = errno;
      close(fd);
      return Status::FileSystem(path, "cannot read: " + reason_of(error_number));
    }
    if (n == 0) break;
    if (bytes->size() + static_cast<size_t>(n) > limit) return too_large("more than " + std::to_string(limit));
    bytes->append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return Status::Ok();
}

Status remove_file(const std::string& path) {
  disk_step();
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    return Status::FileSystem(path, "cannot delete: " + reason_of(errno));
  }
  return Status::Ok();
}

}  // namespace scenario
