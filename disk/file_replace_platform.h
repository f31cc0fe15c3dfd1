// The system's half of disk/file_replace: what file_replace.cpp, which is the same everywhere, asks
// of the system it runs on. file_replace_posix.cpp implements it with POSIX calls (flock,
// O_TMPFILE, fdatasync, rename), file_replace_windows.cpp with the Windows API (wide paths,
// FlushFileBuffers, MoveFileExW); the build takes one of them (SCENARIO_PLATFORM).
//
// Paths are UTF-8 std::strings here as everywhere else; a system that takes paths in another
// form converts them inside its half.
#ifndef SCENARIO_DISK_FILE_REPLACE_PLATFORM_H_
#define SCENARIO_DISK_FILE_REPLACE_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "disk/file_replace.h"
#include "model/status.h"

namespace scenario::disk_platform {

// The temporary a replacement writes: an open file (a descriptor on POSIX, a HANDLE on Windows,
// kNoHandle when closed), with its name in the folder (empty while it has none).
inline constexpr intptr_t kNoHandle = -1;
struct Temporary {
  intptr_t handle = kNoHandle;
  std::string name;
};

// Calls the crash tests' hook, if one is set, before a step that changes the disk.
void disk_step();
// The separator path_in_folder puts between a folder and a name.
char folder_separator();
// The folder a path names a file in ("." for a bare name), and the file's name in it.
std::string folder_of(const std::string& path);
std::string base_of(const std::string& path);

// The names in `folder` that start with a dot (every temporary is among them); none when the
// folder cannot be listed.
std::vector<std::string> hidden_names(const std::string& folder);
// Removes, of the `hidden` names in `folder`, the named temporaries of `base` that no live
// writer holds.
void remove_stale_temporaries(const std::string& folder, const std::string& base,
                              const std::vector<std::string>& hidden);
// A new temporary in the folder of `path`, open for writing and marked as its writer's.
Status open_temporary(const std::string& path, Temporary* temporary);
// Writes `size` bytes, the part of the file at `offset`, to the temporary; a durable file's bytes
// are sent on their way to the disk where the system allows it. The status has no path.
Status write_chunk(const Temporary& temporary, const char* bytes, size_t size, uint64_t offset, Sync sync);
// Flushes the temporary's bytes to the disk.
Status flush(const std::string& path, Temporary* temporary);
// Gives the complete temporary of `path` a name in its folder, when it has none yet.
Status name_temporary(const std::string& path, Temporary* temporary);
// Puts the complete temporary under `path`, replacing what is there (naming it first if needed).
Status publish(const std::string& path, Temporary* temporary);
// Whether `path` names a folder (which a rename cannot replace).
bool is_folder(const std::string& path);
// Renames the file `from` over `to`, replacing it; `missing` tells a `from` that is not there apart.
Status move_over(const std::string& from, const std::string& to, bool* missing);
// Makes the renames and new names in `folder` durable, where the system needs it asked.
void flush_folder(const std::string& folder);
// The number of the running process, part of every temporary's name.
uint32_t process_number();
// Closes the temporary, removing it first when it was not published.
void close_temporary(Temporary* temporary);

// The start of every named temporary of the file `base`: ".BASE.~scenario-tmp~".
std::string temporary_prefix(const std::string& base);
// The name of a temporary of the file `base`: the prefix, then the writer's process number and a
// number of this process (attempt 0) or a random one (later attempts), 8 hexadecimal digits each.
std::string temporary_name(const std::string& base, int attempt);
// Whether `name` is a temporary of the file `base`: exactly the form temporary_name gives.
bool is_temporary_of(std::string_view name, const std::string& base);
// The writer's process number in a temporary's name (of the form is_temporary_of accepts).
uint32_t writer_of(std::string_view temporary);

}  // namespace scenario::disk_platform

#endif  // SCENARIO_DISK_FILE_REPLACE_PLATFORM_H_
