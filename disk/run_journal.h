// The journal of a run's set of files: what lets a run killed among its renames be completed by
// the next one, as a database journal is rolled forward.
//
// A run replaces its files as one set (FolderSink::finish): every new file is written, flushed and
// named as a temporary first; then the journal, ".~scenario-journal~" in the folder, is written and
// flushed, listing each temporary with the name it goes to; then the temporaries are renamed over
// their names, back to back; then the journal is removed. A run killed among those renames leaves
// the journal, and the next run that takes the folder's lock (any program that writes there) rolls
// it forward before it does anything else: every temporary still listed is renamed over its name.
// So the folder holds all the old files or all the new ones once that run has started.
//
// The journal is text: a first line "scenario run journal 1", then for each file the temporary's
// name and the file's name, each as "LENGTH:NAME" on a line, then "end". A journal of another form,
// or one listing anything but a temporary of the file it names (see disk/file_replace_platform.h),
// is removed without a rename.
#ifndef SCENARIO_DISK_RUN_JOURNAL_H_
#define SCENARIO_DISK_RUN_JOURNAL_H_

#include <string>
#include <string_view>
#include <vector>

#include "model/status.h"

namespace scenario {

inline constexpr const char* kRunJournalName = ".~scenario-journal~";

struct JournalEntry {
  std::string temporary;  // the temporary's name in the folder
  std::string name;       // the name it is renamed over
};

std::string journal_text(const std::vector<JournalEntry>& entries);
// The entries of a journal's text; false for a text of another form.
bool parse_journal(std::string_view text, std::vector<JournalEntry>* entries);

// Writes the journal of `entries` into `folder`, flushed to disk with the folder's new names.
Status write_run_journal(const std::string& folder, const std::vector<JournalEntry>& entries);
// Removes the journal of `folder`.
Status remove_run_journal(const std::string& folder);
// Completes the set of a run that left its journal in `folder`: renames each temporary still there
// over its name, in order, then removes the journal. `completed` (when given) receives the names
// renamed. The first failure stops it, with the journal kept for the next run.
Status roll_forward(const std::string& folder, std::vector<std::string>* completed = nullptr);

}  // namespace scenario

#endif  // SCENARIO_DISK_RUN_JOURNAL_H_
