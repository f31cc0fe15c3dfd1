// Whole-file replacement, the same on every system: the chunked filling of a temporary (on a
// second thread for files of more than one chunk), the order of a replacement and the FolderSink.
// What touches the disk is the system's half, disk/file_replace_posix.cpp or
// disk/file_replace_windows.cpp, behind disk/file_replace_platform.h.
#include "disk/file_replace.h"

#include <cctype>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "disk/file_replace_platform.h"

namespace scenario {

std::string path_in_folder(const std::string& folder, const std::string& name) {
  return folder + disk_platform::folder_separator() + name;
}

namespace disk_platform {

namespace {

constexpr const char* kTemporaryMark = ".tmp.";
void (*disk_step_hook)() = nullptr;

}  // namespace

void disk_step() {
  if (disk_step_hook != nullptr) disk_step_hook();
}

// The start of every named temporary of the file `base`.
std::string temporary_prefix(const std::string& base) { return "." + base + kTemporaryMark; }

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

}  // namespace disk_platform

namespace {

using disk_platform::Temporary;

// Bytes handed to one write: large enough that the system calls cost little, small enough that
// no file is ever held whole.
constexpr size_t kChunkSize = size_t{256} << 10;

// Hands chunks to the kernel on a thread of its own, one at a time, so that the source encodes the
// next chunk while the system copies the last one into the file (and starts its writeback): on a
// machine with two cores the two overlap.
class ChunkWriter {
 public:
  ChunkWriter(const Temporary& temporary, Sync sync) : temporary_(temporary), sync_(sync), thread_([this] { run(); }) {}
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
      const Status status = disk_platform::write_chunk(temporary_, bytes, size, offset, sync_);
      offset += size;
      lock.lock();
      if (status_.ok()) status_ = status;
      busy_ = false;
      changed_.notify_all();
    }
  }

  const Temporary& temporary_;
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
      const Status status = disk_platform::write_chunk(temporary, buffer.get(), n, offset, sync);
      if (!status.ok()) return failed(status);
      offset += n;
    }
    return Status::Ok();
  }
  const std::unique_ptr<char[]> buffers[2] = {std::unique_ptr<char[]>(new char[kChunkSize]),
                                              std::unique_ptr<char[]>(new char[kChunkSize])};
  ChunkWriter writer(temporary, sync);
  size_t current = 0;
  while (const size_t n = source.next_chunk(buffers[current].get(), kChunkSize)) {
    if (!writer.hand(buffers[current].get(), n)) break;
    current ^= 1;
  }
  const Status status = writer.finish();
  return status.ok() ? Status::Ok() : failed(status);
}

// A new temporary for `path` holding the whole source, after removing the stale temporaries of
// `path` among the `hidden` names of its folder; closed again on failure.
Status write_temporary(const std::string& path, ByteSource& source, Sync sync, const std::vector<std::string>& hidden,
                       Temporary* temporary) {
  disk_platform::remove_stale_temporaries(disk_platform::folder_of(path), disk_platform::base_of(path), hidden);
  Status status = disk_platform::open_temporary(path, temporary);
  if (!status.ok()) return status;
  status = fill(path, source, sync, *temporary);
  if (!status.ok()) disk_platform::close_temporary(temporary);
  return status;
}

// replace_file, with the hidden names of the folder listed already.
Status replace_now(const std::string& path, ByteSource& source, Sync sync, const std::vector<std::string>& hidden) {
  Temporary temporary;
  Status status = write_temporary(path, source, sync, hidden, &temporary);
  if (!status.ok()) return status;
  if (sync == Sync::kDurable) status = disk_platform::flush(path, &temporary);
  if (status.ok()) status = disk_platform::publish(path, &temporary);
  disk_platform::close_temporary(&temporary);
  return status;
}

}  // namespace

void set_disk_step_hook(void (*hook)()) { disk_platform::disk_step_hook = hook; }

Status replace_file(const std::string& path, ByteSource& source, Sync sync) {
  return replace_now(path, source, sync, disk_platform::hidden_names(disk_platform::folder_of(path)));
}

Status replace_file(const std::string& path, std::string_view bytes, Sync sync) {
  StringSource source(bytes);
  return replace_file(path, source, sync);
}

struct FolderSink::Waiting {
  std::string name;
  disk_platform::Temporary temporary;
};

FolderSink::FolderSink(std::string folder) : folder_(std::move(folder)) {}

FolderSink::~FolderSink() {
  for (Waiting& file : waiting_) disk_platform::close_temporary(&file.temporary);
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
    hidden_ = disk_platform::hidden_names(folder_);
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
      disk_platform::close_temporary(&file->temporary);
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
  step_all(disk_platform::flush);
  step_all(disk_platform::publish);
  for (Waiting& file : files) disk_platform::close_temporary(&file.temporary);
  return failure;
}

}  // namespace scenario
