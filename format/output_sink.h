// Where output files go.
//
// Writers hand a file to an OutputSink under a bare file name, either whole (write_file, for the
// small text files) or as a ByteSource that encodes the file piece by piece into a buffer the
// sink owns (stream_file, for the binary files), so that no file needs to be held whole in
// memory. Either way the sink replaces the file all or nothing: the name holds the old file or
// the complete new one. The program's sink replaces files in its folder; tests use a sink that
// keeps the files in memory. A sink also removes files (the description files). So nothing above
// this interface knows about disks.
#ifndef SCENARIO_FORMAT_OUTPUT_SINK_H_
#define SCENARIO_FORMAT_OUTPUT_SINK_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/status.h"

namespace scenario {

// The bytes of one file, produced in order into buffers the caller provides.
class ByteSource {
 public:
  // The smallest buffer a caller may offer: room for the largest fixed-size piece an encoder
  // stores at once.
  static constexpr size_t kMinChunk = 64;

  virtual ~ByteSource() = default;
  // The file's length in bytes, known before it is produced.
  virtual uint64_t size() const = 0;
  // Stores the next bytes of the file at `out` (at most `capacity`, which is at least kMinChunk)
  // and returns how many; 0 once the whole file has been given.
  virtual size_t next_chunk(char* out, size_t capacity) = 0;
};

// A file already held whole in memory, given in pieces.
class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  size_t next_chunk(char* out, size_t capacity) override {
    const size_t n = std::min(capacity, bytes_.size() - given_);
    bytes_.copy(out, n, given_);
    given_ += n;
    return n;
  }

 private:
  std::string_view bytes_;
  size_t given_ = 0;
};

// All the bytes of `source`, gathered into one string (for in-memory sinks and tests).
inline std::string gather(ByteSource& source) {
  constexpr size_t kGatherChunk = size_t{64} << 10;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(source.size()));
  std::string chunk(kGatherChunk, '\0');
  while (const size_t n = source.next_chunk(chunk.data(), chunk.size())) bytes.append(chunk, 0, n);
  return bytes;
}

// Takes every byte of `source` and keeps none; returns how many there were.
inline uint64_t drain(ByteSource& source) {
  char chunk[4096];
  uint64_t total = 0;
  while (const size_t n = source.next_chunk(chunk, sizeof chunk)) total += n;
  return total;
}

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Replaces the file `name` with exactly `bytes`.
  virtual Status write_file(const std::string& name, std::string_view bytes) = 0;
  // Replaces the file `name` with the bytes of `source`. This default gathers them and calls
  // write_file; a sink that writes to disk streams them instead.
  virtual Status stream_file(const std::string& name, ByteSource& source) {
    return write_file(name, gather(source));
  }
  // Removes the file `name`; a file that is not there is not an error.
  virtual Status remove_file(const std::string& name) = 0;
  // Makes every file handed over so far durable and puts it under its name. A sink may hold files
  // back until then; the memory sink needs nothing.
  [[nodiscard]] virtual Status finish() { return Status::Ok(); }
};

// Keeps written files in memory, by name; for tests and in-memory compiles.
class MemorySink : public OutputSink {
 public:
  Status write_file(const std::string& name, std::string_view bytes) override {
    files[name] = std::string(bytes);
    order.push_back(name);
    return Status::Ok();
  }
  Status remove_file(const std::string& name) override {
    files.erase(name);
    removed.push_back(name);
    return Status::Ok();
  }
  std::map<std::string, std::string> files;  // name -> bytes of the last write
  std::vector<std::string> order;            // names in the order they were written
  std::vector<std::string> removed;          // names in the order they were removed
};

}  // namespace scenario

#endif  // SCENARIO_FORMAT_OUTPUT_SINK_H_
