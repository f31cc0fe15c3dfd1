// Whole-file replacement, the same on every system: the chunked filling of a temporary (on a
// second thread for files of more than one chunk), the order of a replacement and the FolderSink.
// What touches the disk is the system's half, disk/file_replace_posix.cpp or
// disk/file_replace_windows.cpp, behind disk/file_replace_platform.h.
#include "disk/file_replace.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "disk/file_replace_platform.h"
#include "disk/run_journal.h"

namespace scenario {

std::string path_in_folder(const std::string& folder, const std::string& name) {
  return folder + disk_platform::folder_separator() + name;
}

namespace disk_platform {

namespace {

constexpr const char* kTemporaryMark = ".~scenario-tmp~";
constexpr size_t kNumberDigits = 8;
void (*disk_step_hook)() = nullptr;
std::atomic<uint32_t> temporary_count{0};

std::string hex8(uint32_t number) {
  char digits[kNumberDigits + 1];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(number));
  return digits;
}

bool is_lower_hex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

}  // namespace

void disk_step() {
  if (disk_step_hook != nullptr) disk_step_hook();
}

std::string temporary_prefix(const std::string& base) { return "." + base + kTemporaryMark; }

// The first name a writer tries is its own (process and count), so that two writers never meet;
// should it be taken all the same (a stale file of a process of the same number), a random one.
std::string temporary_name(const std::string& base, int attempt) {
  uint32_t number = 0;
  if (attempt == 0) {
    number = temporary_count++;
  } else {
    static std::mutex random_mutex;
    static std::random_device random;
    const std::lock_guard<std::mutex> lock(random_mutex);
    number = static_cast<uint32_t>(random());
  }
  return temporary_prefix(base) + hex8(process_number()) + hex8(number);
}

// Only this exact form: a user's ".NAME.backup" or ".NAME.tmp.1" is never taken for a temporary.
bool is_temporary_of(std::string_view name, const std::string& base) {
  const std::string prefix = temporary_prefix(base);
  if (name.size() != prefix.size() + 2 * kNumberDigits || !name.starts_with(prefix)) return false;
  for (const char c : name.substr(prefix.size())) {
    if (!is_lower_hex(c)) return false;
  }
  return true;
}

uint32_t writer_of(std::string_view temporary) {
  const std::string_view digits = temporary.substr(temporary.size() - 2 * kNumberDigits, kNumberDigits);
  uint32_t number = 0;
  for (const char c : digits) number = number * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
  return number;
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
  if (Status status = claimed(); !status.ok()) return status;
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

Status FolderSink::claim(LockWait wait, const std::function<void()>& waiting) {
  if (claimed_) return Status::Ok();
  Status status = lock_.acquire(folder_, wait, waiting);
  if (status.ok()) status = roll_forward(folder_);
  if (!status.ok()) {
    lock_.release();
    return status;
  }
  claimed_ = true;
  return Status::Ok();
}

Status FolderSink::claimed() { return claim(LockWait::kWait); }

Status FolderSink::remove_file(const std::string& name) {
  drop_waiting(name);
  return scenario::remove_file(path_in_folder(folder_, name));
}

// Every waiting file is flushed (most of their bytes are on the disk already, writeback having
// started chunk by chunk, and on ext4 the first flush commits the others' allocations with its
// own), checked against a folder standing under its name, and named; then the journal of the set
// is written; then each is renamed over its name, in the order handed over, with nothing else in
// between. (Awaiting the writeback of them all first, with sync_file_range, was measured slower.)
Status FolderSink::finish() {
  std::vector<Waiting> files = std::move(waiting_);
  waiting_.clear();
  const Status status = replace_set(files);
  for (Waiting& file : files) disk_platform::close_temporary(&file.temporary);
  lock_.release();
  claimed_ = false;
  listed_ = false;
  return status;
}

Status FolderSink::replace_set(std::vector<Waiting>& files) {
  if (files.empty()) return Status::Ok();
  std::vector<JournalEntry> journal;
  for (Waiting& file : files) {
    const std::string path = path_in_folder(folder_, file.name);
    Status status = disk_platform::flush(path, &file.temporary);
    if (status.ok() && disk_platform::is_folder(path))
      status = Status::FileSystem(path, "cannot replace: Is a directory");
    if (status.ok()) status = disk_platform::name_temporary(path, &file.temporary);
    if (!status.ok()) return status;
    journal.push_back({disk_platform::base_of(file.temporary.name), file.name});
  }
  // A single file needs no journal: its rename is the whole set.
  if (files.size() > 1) {
    if (Status status = write_run_journal(folder_, journal); !status.ok()) {
      return Status::FileSystem(path_in_folder(folder_, files.front().name),
                                "cannot replace: the journal of the set could not be written: " + status.reason());
    }
  }
  for (size_t k = 0; k < files.size(); ++k) {
    const std::string path = path_in_folder(folder_, files[k].name);
    const Status status = disk_platform::publish(path, &files[k].temporary);
    if (status.ok()) continue;
    // The run is alive to say what it left: no later run is to complete the set.
    if (files.size() > 1) static_cast<void>(remove_run_journal(folder_));
    if (files.size() == 1) return status;
    std::string newer;
    std::string older;
    for (size_t j = 0; j < files.size(); ++j) {
      std::string& list = j < k ? newer : older;
      list += (list.empty() ? "" : ", ") + files[j].name;
    }
    return Status::FileSystem(path, status.reason() + "; the set of files is incomplete: new " +
                                        (newer.empty() ? "none" : newer) + "; old " + older);
  }
  if (files.size() > 1) return remove_run_journal(folder_);
  return Status::Ok();
}

}  // namespace scenario
