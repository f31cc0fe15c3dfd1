// Files on disk: replacing a file whole, never half-written, and reading and removing files.
//
// A new file's bytes go to a temporary file in the same folder, which is flushed to disk and then
// renamed over the old name. So the name holds either the old file or the complete new one: a
// failure part-way (disk full, no permission) leaves the old file untouched and removes the
// temporary one. The new file holds exactly what this run wrote. Paths in a folder are
// folder + "/" + name.
#ifndef SCENARIO_DISK_FILE_REPLACE_H_
#define SCENARIO_DISK_FILE_REPLACE_H_

#include <string>
#include <string_view>

#include "compiler/output_sink.h"
#include "compiler/status.h"

namespace scenario {

// folder + "/" + name.
std::string path_in_folder(const std::string& folder, const std::string& name);

// Replaces the file at `path` with `bytes`.
Status replace_file(const std::string& path, std::string_view bytes);

// Reads the whole file at `path`. A missing file gives a FileSystem status whose reason is
// the system's "No such file or directory"; `missing` (when given) tells that case apart.
Status read_file(const std::string& path, std::string* bytes, bool* missing = nullptr);

// Removes the file at `path`; a file that is already gone is not an error.
Status remove_file(const std::string& path);

// An OutputSink that replaces files in one folder.
class FolderSink : public OutputSink {
 public:
  explicit FolderSink(std::string folder) : folder_(std::move(folder)) {}
  Status write_file(const std::string& name, std::string_view bytes) override;
  Status remove_file(const std::string& name) override;
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
};

}  // namespace scenario

#endif  // SCENARIO_DISK_FILE_REPLACE_H_
