// Waiting for files to change on disk, for a program that recompiles on save.
//
// A FileWatch watches the folders of the files it is given (an editor often saves by writing a new
// file and renaming it over the old one, which a watch on the file itself would lose) and wakes
// when one of those files is written, created, renamed into place or removed. wait() also ends when
// the program is interrupted (Ctrl-C, SIGINT or SIGTERM): the watch installs handlers for both, so
// that the program can finish what it is writing and end cleanly.
//
// Linux uses inotify. Other systems have no watch yet: start_file_watch says so.
#ifndef SCENARIO_DISK_FILE_WATCH_H_
#define SCENARIO_DISK_FILE_WATCH_H_

#include <memory>
#include <string>
#include <vector>

#include "model/status.h"

namespace scenario {

enum class WatchEvent {
  kChanged,      // one of the files changed
  kTimeout,      // nothing happened within the time given
  kInterrupted,  // the program was asked to end
};

class FileWatch {
 public:
  virtual ~FileWatch() = default;
  // Waits at most `timeout_ms` milliseconds (negative: without end) for the next event.
  virtual WatchEvent wait(int timeout_ms) = 0;
};

// Starts watching `paths`; on failure *status says why (the folder and the reason, or that this
// system has no watch) and the result is null.
std::unique_ptr<FileWatch> start_file_watch(const std::vector<std::string>& paths, Status* status);

}  // namespace scenario

#endif  // SCENARIO_DISK_FILE_WATCH_H_
