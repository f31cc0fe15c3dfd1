// The outcome of an operation that touches the outside world.
//
// A Status is either ok or a failure of one kind, carrying the path it concerns and the reason in
// plain words. It is the one error convention for files and command lines; compile errors of a
// scenario are not Statuses but the compile-error record of the compile state (compile_error.h).
#ifndef SCENARIO_MODEL_STATUS_H_
#define SCENARIO_MODEL_STATUS_H_

#include <string>
#include <utility>

namespace scenario {

class Status {
 public:
  enum class Kind { kOk, kFileSystem, kUsage };

  Status() = default;
  static Status Ok() { return Status(); }
  // A file or folder could not be read, written, replaced or removed.
  static Status FileSystem(std::string path, std::string reason) {
    return Status(Kind::kFileSystem, std::move(path), std::move(reason));
  }
  // A command line that the program cannot act on.
  static Status Usage(std::string reason) { return Status(Kind::kUsage, "", std::move(reason)); }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

  // "cannot write 'PATH': REASON" style text, ready for standard error.
  std::string ToString() const {
    if (ok()) return "ok";
    if (path_.empty()) return reason_;
    return "'" + path_ + "': " + reason_;
  }

 private:
  Status(Kind kind, std::string path, std::string reason)
      : kind_(kind), path_(std::move(path)), reason_(std::move(reason)) {}

  Kind kind_ = Kind::kOk;
  std::string path_;
  std::string reason_;
};

// Exit statuses shared by scenario_build and scenario_tool.
inline constexpr int kExitClean = 0;         // the scenario compiled without error
inline constexpr int kExitCompileError = 1;  // ErrorCode was set; the outputs were written
inline constexpr int kExitFatal = 2;         // a fatal report ended the run
inline constexpr int kExitFileSystem = 3;    // a file could not be read or written
inline constexpr int kExitUsage = 64;        // bad command line

}  // namespace scenario

#endif  // SCENARIO_MODEL_STATUS_H_
