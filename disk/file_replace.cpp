#include "disk/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace scenario {

std::string path_in_folder(const std::string& folder, const std::string& name) { return folder + "/" + name; }

namespace {

std::string reason_of(int error_number) { return std::strerror(error_number); }

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

Status replace_file(const std::string& path, std::string_view bytes) {
  const size_t slash = path.find_last_of('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = path_in_folder(folder_of(path), "." + base + ".XXXXXX");
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return Status::FileSystem(path, "cannot create a file in its folder: " + reason_of(errno));
  temporary.assign(name.data());

  auto fail = [&](int error_number, const std::string& what) {
    close(fd);
    unlink(temporary.c_str());
    return Status::FileSystem(path, what + reason_of(error_number));
  };

  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno, "cannot write: ");
    }
    written += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return fail(errno, "cannot write: ");
  // mkstemp creates the file readable by its owner only; give it the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  if (close(fd) != 0) {
    const int error_number = errno;
    unlink(temporary.c_str());
    return Status::FileSystem(path, "cannot write: " + reason_of(error_number));
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const int error_number = errno;
    unlink(temporary.c_str());
    return Status::FileSystem(path, "cannot replace: " + reason_of(error_number));
  }
  return Status::Ok();
}

Status read_file(const std::string& path, std::string* bytes, bool* missing) {
  if (missing != nullptr) *missing = false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int error_number = errno;
    if (missing != nullptr && error_number == ENOENT) *missing = true;
    return Status::FileSystem(path, "cannot read: " + reason_of(error_number));
  }
  bytes->clear();
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
    bytes->append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return Status::Ok();
}

Status remove_file(const std::string& path) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    return Status::FileSystem(path, "cannot delete: " + reason_of(errno));
  }
  return Status::Ok();
}

Status FolderSink::write_file(const std::string& name, std::string_view bytes) {
  return replace_file(path_in_folder(folder_, name), bytes);
}

Status FolderSink::remove_file(const std::string& name) {
  return scenario::remove_file(path_in_folder(folder_, name));
}

}  // namespace scenario
