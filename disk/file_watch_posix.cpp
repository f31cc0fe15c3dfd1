// The watch on Linux: one inotify descriptor, a watch on each folder, events filtered by name.
// Interruptions arrive as SIGINT or SIGTERM; their handler only sets a flag, and poll() returns
// early with EINTR, since the handler is installed without SA_RESTART.
#include "disk/file_watch.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#ifdef __linux__
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

#include "disk/native_path.h"

namespace scenario {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void note_interrupt(int) { interrupted = 1; }

#ifdef __linux__

class InotifyWatch : public FileWatch {
 public:
  explicit InotifyWatch(int descriptor) : descriptor_(descriptor) {}
  ~InotifyWatch() override { close(descriptor_); }
  InotifyWatch(const InotifyWatch&) = delete;
  InotifyWatch& operator=(const InotifyWatch&) = delete;

  Status add(const std::string& path) {
    const std::filesystem::path file = path_of(path);
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    names_.push_back(utf8_of(file.filename()));
    if (std::find(folders_.begin(), folders_.end(), folder) != folders_.end()) return Status::Ok();
    const int watch = inotify_add_watch(descriptor_, folder.c_str(),
                                        IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MODIFY);
    if (watch < 0) return Status::FileSystem(utf8_of(folder), std::strerror(errno));
    folders_.push_back(folder);
    return Status::Ok();
  }

  WatchEvent wait(int timeout_ms) override {
    for (;;) {
      if (interrupted) return WatchEvent::kInterrupted;
      pollfd ready{descriptor_, POLLIN, 0};
      const int count = poll(&ready, 1, timeout_ms);
      if (interrupted) return WatchEvent::kInterrupted;
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return WatchEvent::kTimeout;
      alignas(inotify_event) char buffer[16384];
      const ssize_t length = read(descriptor_, buffer, sizeof buffer);
      if (length <= 0) continue;
      bool ours = false;
      for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
        inotify_event event;
        std::memcpy(&event, buffer + at, sizeof event);
        const size_t name_at = static_cast<size_t>(at) + sizeof event;
        if (event.len > 0 && name_at + event.len <= static_cast<size_t>(length)) {
          const std::string name(buffer + name_at, strnlen(buffer + name_at, event.len));
          ours = ours || std::find(names_.begin(), names_.end(), name) != names_.end();
        }
        at += static_cast<ssize_t>(sizeof event + event.len);
      }
      if (ours) return WatchEvent::kChanged;
    }
  }

 private:
  int descriptor_;
  std::vector<std::filesystem::path> folders_;
  std::vector<std::string> names_;
};

#endif

}  // namespace

std::unique_ptr<FileWatch> start_file_watch(const std::vector<std::string>& paths, Status* status) {
#ifdef __linux__
  struct sigaction action {};
  action.sa_handler = note_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a waiting poll() returns at once
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  const int descriptor = inotify_init1(IN_CLOEXEC);
  if (descriptor < 0) {
    *status = Status::FileSystem("inotify", std::strerror(errno));
    return nullptr;
  }
  auto watch = std::make_unique<InotifyWatch>(descriptor);
  for (const std::string& path : paths) {
    *status = watch->add(path);
    if (!status->ok()) return nullptr;
  }
  *status = Status::Ok();
  return watch;
#else
  (void)paths;
  (void)note_interrupt;
  *status = Status::Usage("watching files is not supported on this system yet");
  return nullptr;
#endif
}

}  // namespace scenario
