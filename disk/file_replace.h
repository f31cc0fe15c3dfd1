// Files on disk: replacing a file whole, never half-written and leaving no stale temporaries, and
// reading (with a size bound) and removing files.
//
// A new file's bytes go to a temporary file in the same folder, streamed in bounded chunks (a file
// of more than one chunk is encoded into one buffer while a second thread writes the other), and
// are then renamed over the old name. So the name holds either the old file or the complete new
// one: a failure part-way (disk full, no permission) leaves the old file untouched and removes the
// temporary one. The new file holds exactly what this run wrote. Paths in a folder are
// folder + "/" + name (folder + "\" + name on Windows); paths are UTF-8 strings on every system.
// The system's half of the work is disk/file_replace_posix.cpp or disk/file_replace_windows.cpp,
// each of which says how it keeps this contract with its system's calls.
//
// Temporaries. Where the file system allows it the temporary has no name while it is written
// (O_TMPFILE): a process killed then leaves nothing behind. It is given a name only once complete
// (linkat), just before the rename. Elsewhere the temporary is named from the start. Either way a
// named temporary of NAME is called ".NAME.~scenario-tmp~" and 16 hexadecimal digits (the
// writer's process number and a count, or a random number when that name is taken), a form no
// one else writes, and its writer holds an exclusive flock on it until the rename; a later
// replacement of NAME removes every temporary of exactly that form whose lock it can take, i.e.
// those of processes that have ended, never one a live process is still writing, and never any
// other file. A FolderSink lists the folder once, at its first file, and removes each file's stale
// temporaries from that listing.
//
// A set of files. A FolderSink owns its folder while it writes: it takes the folder's lock
// (disk/folder_lock.h) before its first file and lets it go once finish() has renamed the last,
// and it completes first the set of a run killed among its renames (disk/run_journal.h). finish()
// replaces the sink's durable files as one set: a failure before the renames leaves every old
// file; the renames come last, back to back, after the journal of the set is on the disk.
//
// Durability. A durable file is flushed to disk (fdatasync) before it is renamed, so that a crash
// of the machine never leaves an empty or partial file under a kept name. While it is written the
// kernel is asked after every chunk to start writing that chunk out (sync_file_range, which does not
// wait), so that little is left to flush at the end. replace_file flushes and renames before it
// returns. A FolderSink keeps its complete durable files waiting, open and locked, and finish()
// flushes them all together, then renames each over its name in the order they were written: on
// ext4 the first flush commits the others with it, so a run's files cost about one journal commit
// instead of one each. Sync::kNone skips the flush, for a file the same run removes again a few
// milliseconds later; such a file is renamed at once and is no part of the set.
#ifndef SCENARIO_DISK_FILE_REPLACE_H_
#define SCENARIO_DISK_FILE_REPLACE_H_

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "disk/folder_lock.h"
#include "format/output_sink.h"
#include "model/status.h"

namespace scenario {

// The largest file read_file reads unless told otherwise: 64 MiB. A description of the longest
// line (1,000,000 m) with a record at every one of its metres is some 30 MB; nothing the program
// reads can need more, so a larger file is refused before it is read.
inline constexpr uint64_t kMaxInputFileSize = uint64_t{64} << 20;

enum class Sync { kDurable, kNone };

// folder + "/" + name ("\" on Windows).
std::string path_in_folder(const std::string& folder, const std::string& name);

// Replaces the file at `path` with `bytes`, or with the bytes of `source`.
Status replace_file(const std::string& path, std::string_view bytes, Sync sync = Sync::kDurable);
Status replace_file(const std::string& path, ByteSource& source, Sync sync = Sync::kDurable);

// Reads the whole file at `path`. A missing file gives a FileSystem status whose reason is
// the system's "No such file or directory"; `missing` (when given) tells that case apart. A file
// larger than `limit` bytes is refused before it is read (and one that grows past it while being
// read).
Status read_file(const std::string& path, std::string* bytes, bool* missing = nullptr,
                 uint64_t limit = kMaxInputFileSize);

// Removes the file at `path`; a file that is already gone is not an error.
Status remove_file(const std::string& path);

// An OutputSink that replaces files in one folder. A durable file handed over is written whole to
// its temporary and waits there; finish() puts every waiting file under its name (see above). A
// failure of finish before its renames (a flush, a name, a folder standing under a name, the
// journal) leaves every old file and discards the new ones. A failure among the renames, which
// cannot be undone, stops there and says, beside the reason, which of the set's files are new and
// which old. A file written without sync is put under its name at once. Handing over a name again
// before finish() replaces the waiting file; removing a name drops its waiting file too. A sink
// destroyed without finish() discards what is waiting: every user must call it.
class FolderSink : public OutputSink {
 public:
  explicit FolderSink(std::string folder);
  ~FolderSink() override;
  FolderSink(const FolderSink&) = delete;
  FolderSink& operator=(const FolderSink&) = delete;

  // Takes the folder's lock (see disk/folder_lock.h for `wait` and `waiting`) and completes the
  // set a killed run left. A sink that writes a file without it takes it, waiting, then.
  // finish() lets it go.
  Status claim(LockWait wait, const std::function<void()>& waiting = {});

  Status write_file(const std::string& name, std::string_view bytes) override;
  Status stream_file(const std::string& name, ByteSource& source) override;
  Status remove_file(const std::string& name) override;
  [[nodiscard]] Status finish() override;
  const std::string& folder() const { return folder_; }
  // The file `name` is one the run removes itself: it is written without a flush, at once.
  void write_without_sync(const std::string& name) { unsynced_.insert(name); }

 private:
  struct Waiting;  // a complete durable file and the name it waits for

  Status hand_over(const std::string& name, ByteSource& source);
  Status claimed();
  // finish() of the waiting `files`.
  Status replace_set(std::vector<Waiting>& files);
  // Discards the waiting file of `name`, if there is one.
  void drop_waiting(const std::string& name);

  std::string folder_;
  FolderLock lock_;
  bool claimed_ = false;  // claim() succeeded (the lock is held, or the folder cannot take one)
  std::set<std::string> unsynced_;
  std::vector<Waiting> waiting_;  // in the order they were handed over
  bool listed_ = false;
  std::vector<std::string> hidden_;  // the folder's names starting with a dot, listed at the first file
};

// Hooks for crash tests. `hook` (none by default) is called before every step of a replacement
// or removal that changes the disk: each write of a chunk, each flush, link, rename and unlink;
// a test stops the process inside it. allow_unnamed_temporaries(false) makes replacements use
// named temporaries, as on a file system without O_TMPFILE.
void set_disk_step_hook(void (*hook)());
void allow_unnamed_temporaries(bool allowed);

}  // namespace scenario

#endif  // SCENARIO_DISK_FILE_REPLACE_H_
