#include "disk/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace scenario {

std::string path_in_folder(const std::string& folder, const std::string& name) { return folder + "/" + name; }

namespace {

// Bytes handed to one write(2): large enough that the system calls cost little, small enough
// that no file is ever held whole.
constexpr size_t kChunkSize = size_t{256} << 10;
constexpr int kCreateAttempts = 100;
constexpr const char* kTemporaryMark = ".tmp.";

void (*disk_step_hook)() = nullptr;
bool unnamed_temporaries_allowed = true;

void disk_step() {
  if (disk_step_hook != nullptr) disk_step_hook();
}

std::string reason_of(int error_number) { return std::strerror(error_number); }

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

// The start of every named temporary of the file `base`.
std::string temporary_prefix(const std::string& base) { return "." + base + kTemporaryMark; }

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether `name` is a temporary of the file `base`: ".BASE.tmp." and anything, or ".BASE." and six
// letters or digits, the name that mkstemp gave the temporaries of earlier versions.
bool is_temporary_of(std::string_view name, const std::string& base) {
  const std::string prefix = temporary_prefix(base);
  if (name.starts_with(prefix)) return true;
  const std::string old_prefix = "." + base + ".";
  constexpr size_t kRandomLetters = 6;
  if (name.size() != old_prefix.size() + kRandomLetters || !name.starts_with(old_prefix)) return false;
  for (const char c : name.substr(old_prefix.size())) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) return false;
  }
  return true;
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

// Removes, of the `hidden` names in `folder`, the named temporaries of `base` left by processes
// that have ended: their flock is free. A temporary whose lock is held belongs to a live writer and
// is left alone; so is anything that is not a regular file.
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

// The temporary a replacement writes: an open, locked file, unnamed or named.
struct Temporary {
  int fd = -1;
  std::string name;  // empty while unnamed
};

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

// A new named temporary ".BASE.tmp.XXXXXX", locked. A temporary that a cleaner removed before
// the lock was taken is given up and another one made.
Status open_named(const std::string& path, Temporary* temporary) {
  const std::string pattern = path_in_folder(folder_of(path), temporary_prefix(base_of(path)) + "XXXXXX");
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Status::FileSystem(path, "cannot create a file in its folder: " + reason_of(errno));
    struct stat opened {};
    struct stat named {};
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &opened) == 0 && stat(name.data(), &named) == 0 &&
        same_file(opened, named)) {
      // mkstemp creates the file readable by its owner only; give it the usual permissions.
      const mode_t mask = umask(0);
      umask(mask);
      fchmod(fd, 0666 & ~mask);
      temporary->fd = fd;
      temporary->name.assign(name.data());
      return Status::Ok();
    }
    close(fd);
  }
  return Status::FileSystem(path, "cannot create a file in its folder: no temporary name could be locked");
}

Status open_temporary(const std::string& path, Temporary* temporary) {
  temporary->fd = open_unnamed(folder_of(path));
  if (temporary->fd >= 0) return Status::Ok();
  return open_named(path, temporary);
}

// Gives an unnamed temporary a temporary name, so that it can be renamed over the file.
Status name_temporary(const std::string& path, Temporary* temporary) {
  const std::string from = "/proc/self/fd/" + std::to_string(temporary->fd);
  const std::string stem = path_in_folder(folder_of(path), temporary_prefix(base_of(path))) +
                           std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const std::string name = stem + std::to_string(attempt);
    disk_step();
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temporary->name = name;
      return Status::Ok();
    }
    if (errno != EEXIST) return Status::FileSystem(path, "cannot write: " + reason_of(errno));
  }
  return Status::FileSystem(path, "cannot write: no free temporary name");
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

// Writes one chunk at `offset` of the temporary and, for a durable file, starts its writeback.
Status write_chunk(int fd, const char* bytes, size_t size, uint64_t offset, Sync sync) {
  Status status = write_all(fd, bytes, size);
  if (status.ok() && sync == Sync::kDurable) status = start_writeback(fd, offset, size);
  return status;
}

// Hands chunks to the kernel on a thread of its own, one at a time, so that the source encodes the
// next chunk while the system copies the last one into the file (and starts its writeback): on a
// machine with two cores the two overlap.
class ChunkWriter {
 public:
  ChunkWriter(int fd, Sync sync) : fd_(fd), sync_(sync), thread_([this] { run(); }) {}
  ~ChunkWriter() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  ChunkWriter(const ChunkWriter&) = delete;
  ChunkWriter& operator=(const ChunkWriter&) = delete;

  // Waits until the chunk handed before is written, then hands this one (which must stay as it
  // is until the next call returns); false once a write has failed.
  bool hand(const char* bytes, size_t size) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (!status_.ok()) return false;
    bytes_ = bytes;
    size_ = size;
    busy_ = true;
    changed_.notify_all();
    return true;
  }

  // Waits until every chunk handed is written; the first failure, if any.
  Status finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    return status_;
  }

 private:
  void run() {
    uint64_t offset = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
      changed_.wait(lock, [this] { return busy_ || stopping_; });
      if (!busy_) return;
      const char* bytes = bytes_;
      const size_t size = size_;
      lock.unlock();
      const Status status = write_chunk(fd_, bytes, size, offset, sync_);
      offset += size;
      lock.lock();
      if (status_.ok()) status_ = status;
      busy_ = false;
      changed_.notify_all();
    }
  }

  const int fd_;
  const Sync sync_;
  std::mutex mutex_;
  std::condition_variable changed_;
  const char* bytes_ = nullptr;  // the chunk being written while busy_
  size_t size_ = 0;
  bool busy_ = false;
  bool stopping_ = false;
  Status status_ = Status::Ok();
  std::thread thread_;  // last: it starts once everything above is set
};

// Writes the source into the open temporary, chunk by chunk; a durable file's chunks are sent on
// their way to the disk as they are written. A file of more than one chunk is encoded into two
// buffers in turn while a ChunkWriter writes the other.
Status fill(const std::string& path, ByteSource& source, Sync sync, const Temporary& temporary) {
  auto failed = [&path](const Status& status) { return Status::FileSystem(path, "cannot write: " + status.reason()); };
  if (source.size() <= kChunkSize) {
    const std::unique_ptr<char[]> buffer(new char[kChunkSize]);
    uint64_t offset = 0;
    while (const size_t n = source.next_chunk(buffer.get(), kChunkSize)) {
      const Status status = write_chunk(temporary.fd, buffer.get(), n, offset, sync);
      if (!status.ok()) return failed(status);
      offset += n;
    }
    return Status::Ok();
  }
  const std::unique_ptr<char[]> buffers[2] = {std::unique_ptr<char[]>(new char[kChunkSize]),
                                              std::unique_ptr<char[]>(new char[kChunkSize])};
  ChunkWriter writer(temporary.fd, sync);
  size_t current = 0;
  while (const size_t n = source.next_chunk(buffers[current].get(), kChunkSize)) {
    if (!writer.hand(buffers[current].get(), n)) break;
    current ^= 1;
  }
  const Status status = writer.finish();
  return status.ok() ? Status::Ok() : failed(status);
}

// Flushes the temporary's bytes and what is needed to read them back to disk. A file system that
// cannot flush (EINVAL, EROFS) has nothing to flush.
Status flush(const std::string& path, const Temporary* temporary) {
  disk_step();
  if (fdatasync(temporary->fd) != 0 && errno != EINVAL && errno != EROFS) {
    return Status::FileSystem(path, "cannot write: " + reason_of(errno));
  }
  return Status::Ok();
}

// Names the complete temporary, when it has no name yet, and renames it over `path`.
Status publish(const std::string& path, Temporary* temporary) {
  if (temporary->name.empty()) {
    const Status status = name_temporary(path, temporary);
    if (!status.ok()) return status;
  }
  disk_step();
  if (rename(temporary->name.c_str(), path.c_str()) != 0) {
    return Status::FileSystem(path, "cannot replace: " + reason_of(errno));
  }
  temporary->name.clear();
  return Status::Ok();
}

// Closes the temporary, removing its name first when it was not renamed. Closing releases the
// lock only now, after the rename: until then a cleaner leaves it alone. The bytes went out with
// write(2) (and were flushed when asked), so close has nothing left to report.
void close_temporary(Temporary* temporary) {
  if (!temporary->name.empty()) {
    disk_step();
    unlink(temporary->name.c_str());
    temporary->name.clear();
  }
  if (temporary->fd >= 0) close(temporary->fd);
  temporary->fd = -1;
}

// A new temporary for `path` holding the whole source, after removing the stale temporaries of
// `path` among the `hidden` names of its folder; closed again on failure.
Status write_temporary(const std::string& path, ByteSource& source, Sync sync, const std::vector<std::string>& hidden,
                       Temporary* temporary) {
  remove_stale_temporaries(folder_of(path), base_of(path), hidden);
  Status status = open_temporary(path, temporary);
  if (!status.ok()) return status;
  status = fill(path, source, sync, *temporary);
  if (!status.ok()) close_temporary(temporary);
  return status;
}

// replace_file, with the hidden names of the folder listed already.
Status replace_now(const std::string& path, ByteSource& source, Sync sync, const std::vector<std::string>& hidden) {
  Temporary temporary;
  Status status = write_temporary(path, source, sync, hidden, &temporary);
  if (!status.ok()) return status;
  if (sync == Sync::kDurable) status = flush(path, &temporary);
  if (status.ok()) status = publish(path, &temporary);
  close_temporary(&temporary);
  return status;
}

}  // namespace

void set_disk_step_hook(void (*hook)()) { disk_step_hook = hook; }
void allow_unnamed_temporaries(bool allowed) { unnamed_temporaries_allowed = allowed; }

Status replace_file(const std::string& path, ByteSource& source, Sync sync) {
  return replace_now(path, source, sync, hidden_names(folder_of(path)));
}

Status replace_file(const std::string& path, std::string_view bytes, Sync sync) {
  StringSource source(bytes);
  return replace_file(path, source, sync);
}

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

struct FolderSink::Waiting {
  std::string name;
  Temporary temporary;
};

FolderSink::FolderSink(std::string folder) : folder_(std::move(folder)) {}

FolderSink::~FolderSink() {
  for (Waiting& file : waiting_) close_temporary(&file.temporary);
}

Status FolderSink::write_file(const std::string& name, std::string_view bytes) {
  StringSource source(bytes);
  return hand_over(name, source);
}

Status FolderSink::stream_file(const std::string& name, ByteSource& source) { return hand_over(name, source); }

// A file written without sync is put under its name at once; a durable one waits for finish().
// Either way an earlier waiting file of the same name gives way, once the new one is complete.
// The folder is listed once, at the first file: stale temporaries are left by runs that ended
// before this one, and those a run leaves while this one writes are for the next run to remove.
Status FolderSink::hand_over(const std::string& name, ByteSource& source) {
  const std::string path = path_in_folder(folder_, name);
  if (!listed_) {
    hidden_ = hidden_names(folder_);
    listed_ = true;
  }
  if (unsynced_.count(name) != 0) {
    const Status status = replace_now(path, source, Sync::kNone, hidden_);
    if (status.ok()) drop_waiting(name);
    return status;
  }
  Waiting file{name, {}};
  const Status status = write_temporary(path, source, Sync::kDurable, hidden_, &file.temporary);
  if (!status.ok()) return status;
  drop_waiting(name);
  waiting_.push_back(std::move(file));
  return Status::Ok();
}

void FolderSink::drop_waiting(const std::string& name) {
  for (auto file = waiting_.begin(); file != waiting_.end(); ++file) {
    if (file->name == name) {
      close_temporary(&file->temporary);
      waiting_.erase(file);
      return;
    }
  }
}

Status FolderSink::remove_file(const std::string& name) {
  drop_waiting(name);
  return scenario::remove_file(path_in_folder(folder_, name));
}

// Every waiting file is flushed, then each is renamed, both in the order handed over. Most of their
// bytes are on the disk already (writeback started chunk by chunk), and on ext4 the first flush
// commits the others' allocations with its own, so the later ones wait less. (Awaiting the writeback of them all
// first, with sync_file_range, was measured slower.) The first failure marks the end of the files
// that are published: those before it are, it and those after it are discarded.
Status FolderSink::finish() {
  std::vector<Waiting> files = std::move(waiting_);
  waiting_.clear();
  Status failure;
  size_t ready = files.size();
  auto step_all = [&](auto step) {
    for (size_t k = 0; k < ready; ++k) {
      Status status = step(path_in_folder(folder_, files[k].name), &files[k].temporary);
      if (!status.ok()) {
        failure = std::move(status);
        ready = k;
      }
    }
  };
  step_all(flush);
  step_all(publish);
  for (Waiting& file : files) close_temporary(&file.temporary);
  return failure;
}

}  // namespace scenario
