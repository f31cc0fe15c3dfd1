// The outcome of an operation that touches the outside world.
//
// A Status is either ok or a failure of one kind, carrying the path it concerns and the reason in
// plain words; a corruption (bytes of a compiled file that do not decode) carries the byte offset
// where the file goes wrong too. It is the one error convention for files, decoders and command
// lines; compile errors of a scenario are not Statuses but the compile-error record of the compile
// state (compile_error.h).
#ifndef SCENARIO_MODEL_STATUS_H_
#define SCENARIO_MODEL_STATUS_H_

#include <cstddef>
#include <string>
#include <utility>

namespace scenario {

class Status {
 public:
  enum class Kind { kOk, kFileSystem, kUsage, kCorruption };

  Status() = default;
  static Status Ok() { return Status(); }
  // A file or folder could not be read, written, replaced or removed.
  static Status FileSystem(std::string path, std::string reason) {
    return Status(Kind::kFileSystem, std::move(path), std::move(reason));
  }
  // A command line that the program cannot act on.
  static Status Usage(std::string reason) { return Status(Kind::kUsage, "", std::move(reason)); }
  // Bytes that do not decode, going wrong at byte `offset` of their file.
  static Status Corruption(size_t offset, std::string reason) {
    Status status(Kind::kCorruption, "", std::move(reason));
    status.offset_ = offset;
    return status;
  }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }
  // The byte offset of a corruption; 0 for the other kinds.
  size_t offset() const { return offset_; }

  // The same failure, concerning the file at `path`.
  Status InFile(std::string path) const {
    Status status = *this;
    status.path_ = std::move(path);
    return status;
  }

  // "'PATH': REASON" style text, ready for standard error; a corruption says "at byte N: REASON".
  std::string ToString() const {
    if (ok()) return "ok";
    const std::string what =
        kind_ == Kind::kCorruption ? "at byte " + std::to_string(offset_) + ": " + reason_ : reason_;
    if (path_.empty()) return what;
    return "'" + path_ + "': " + what;
  }

 private:
  Status(Kind kind, std::string path, std::string reason)
      : kind_(kind), path_(std::move(path)), reason_(std::move(reason)) {}

  Kind kind_ = Kind::kOk;
  std::string path_;
  std::string reason_;
  size_t offset_ = 0;
};

// Exit statuses shared by scenario_build and scenario_tool.
inline constexpr int kExitClean = 0;         // the scenario compiled without error
inline constexpr int kExitCompileError = 1;  // ErrorCode was set; the outputs were written
inline constexpr int kExitFatal = 2;         // a fatal report ended the run
inline constexpr int kExitFileSystem = 3;    // a file could not be read or written
inline constexpr int kExitUsage = 64;        // bad command line

}  // namespace scenario

#endif  // SCENARIO_MODEL_STATUS_H_
