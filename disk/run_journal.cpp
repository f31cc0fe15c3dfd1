#include "disk/run_journal.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "disk/file_replace.h"
#include "disk/file_replace_platform.h"

namespace scenario {
namespace {

constexpr std::string_view kFirstLine = "scenario run journal 1\n";
constexpr std::string_view kLastLine = "end\n";
// No journal of a run's few files comes near this; a larger file is not one.
constexpr uint64_t kMaxJournalSize = uint64_t{1} << 20;

void add_field(std::string* text, const std::string& name) { *text += std::to_string(name.size()) + ":" + name + "\n"; }

// Reads one "LENGTH:NAME\n" field at *at; false when the text does not hold one there.
bool take_field(std::string_view text, size_t* at, std::string* name) {
  size_t length = 0;
  size_t k = *at;
  while (k < text.size() && text[k] >= '0' && text[k] <= '9' && k - *at < 6) {
    length = length * 10 + static_cast<size_t>(text[k] - '0');
    ++k;
  }
  if (k == *at || k >= text.size() || text[k] != ':') return false;
  ++k;
  if (text.size() - k < length + 1 || text[k + length] != '\n') return false;
  name->assign(text.substr(k, length));
  *at = k + length + 1;
  return true;
}

// A name in the folder itself: no separator, not "." or "..", not empty.
bool is_plain_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos &&
         name.find('\0') == std::string::npos;
}

}  // namespace

std::string journal_text(const std::vector<JournalEntry>& entries) {
  std::string text(kFirstLine);
  for (const JournalEntry& entry : entries) {
    add_field(&text, entry.temporary);
    add_field(&text, entry.name);
  }
  return text += kLastLine;
}

bool parse_journal(std::string_view text, std::vector<JournalEntry>* entries) {
  entries->clear();
  if (!text.starts_with(kFirstLine)) return false;
  size_t at = kFirstLine.size();
  while (text.substr(at) != kLastLine) {
    JournalEntry entry;
    if (!take_field(text, &at, &entry.temporary) || !take_field(text, &at, &entry.name)) return false;
    if (!is_plain_name(entry.name) || !disk_platform::is_temporary_of(entry.temporary, entry.name)) return false;
    entries->push_back(std::move(entry));
  }
  return true;
}

Status write_run_journal(const std::string& folder, const std::vector<JournalEntry>& entries) {
  const Status status = replace_file(path_in_folder(folder, kRunJournalName), journal_text(entries));
  if (status.ok()) disk_platform::flush_folder(folder);
  return status;
}

Status remove_run_journal(const std::string& folder) { return remove_file(path_in_folder(folder, kRunJournalName)); }

Status roll_forward(const std::string& folder, std::vector<std::string>* completed) {
  std::string text;
  bool missing = false;
  const Status read = read_file(path_in_folder(folder, kRunJournalName), &text, &missing, kMaxJournalSize);
  if (missing) return Status::Ok();
  std::vector<JournalEntry> entries;
  if (read.ok() && parse_journal(text, &entries)) {
    for (const JournalEntry& entry : entries) {
      bool gone = false;
      const Status moved =
          disk_platform::move_over(path_in_folder(folder, entry.temporary), path_in_folder(folder, entry.name), &gone);
      if (gone) continue;  // renamed before the run ended
      if (!moved.ok()) return moved;
      if (completed != nullptr) completed->push_back(entry.name);
    }
    disk_platform::flush_folder(folder);
  }
  return remove_run_journal(folder);
}

}  // namespace scenario
