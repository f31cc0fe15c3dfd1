// Where whole output files go.
//
// Writers of text and binary files build a file's bytes in memory and hand them over whole to an
// OutputSink under a bare file name. The program's sink replaces files in its folder; tests use a
// sink that keeps the files in memory. A sink also removes files (the description files). So nothing above this interface knows about disks.
#ifndef SCENARIO_COMPILER_OUTPUT_SINK_H_
#define SCENARIO_COMPILER_OUTPUT_SINK_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/status.h"

namespace scenario {

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Replaces the file `name` with exactly `bytes`.
  virtual Status write_file(const std::string& name, std::string_view bytes) = 0;
  // Removes the file `name`; a file that is not there is not an error.
  virtual Status remove_file(const std::string& name) = 0;
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

#endif  // SCENARIO_COMPILER_OUTPUT_SINK_H_
