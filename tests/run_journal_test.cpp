#include "disk/run_journal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disk/file_replace.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::files_in;
using testing::read_whole_file;
using testing::TempFolder;
using testing::write_whole_file;

constexpr const char* kTemporaryA = ".a.dat.~scenario-tmp~0000002a00000000";
constexpr const char* kTemporaryB = ".b c.txt.~scenario-tmp~0000002a00000001";

TEST(RunJournalTest, TheTextGivesBackItsEntries) {
  const std::vector<JournalEntry> entries = {{kTemporaryA, "a.dat"}, {kTemporaryB, "b c.txt"}};
  const std::string text = journal_text(entries);
  EXPECT_EQ(text, std::string("scenario run journal 1\n37:") + kTemporaryA + "\n5:a.dat\n39:" + kTemporaryB +
                      "\n7:b c.txt\nend\n");
  std::vector<JournalEntry> parsed;
  ASSERT_TRUE(parse_journal(text, &parsed));
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[1].temporary, kTemporaryB);
  EXPECT_EQ(parsed[1].name, "b c.txt");
}

// A journal cut short, of another form, or naming anything but a temporary of the file it names
// (a user's file, a path out of the folder) is no journal.
TEST(RunJournalTest, ATextOfAnotherFormIsRefused) {
  const std::string good = journal_text({{kTemporaryA, "a.dat"}});
  const std::vector<std::string> bad = {
      "",
      good.substr(0, good.size() - 4),
      good.substr(0, good.size() - 1),
      "scenario run journal 2\nend\n",
      journal_text({{"notes.txt", "a.dat"}}),
      journal_text({{kTemporaryA, "b.dat"}}),
      journal_text({{".a.dat.~scenario-tmp~0000002a0000000", "a.dat"}}),
      journal_text({{"../.a.dat.~scenario-tmp~0000002a00000000", "a.dat"}}),
      journal_text({{".~scenario-tmp~0000002a00000000", ""}}),
      "scenario run journal 1\n99:" + std::string(kTemporaryA) + "\n5:a.dat\nend\n",
      "scenario run journal 1\n1234567:x\nend\n",
  };
  for (const std::string& text : bad) {
    SCOPED_TRACE(text);
    std::vector<JournalEntry> parsed;
    EXPECT_FALSE(parse_journal(text, &parsed));
  }
}

// The set of a run killed after renaming a.dat: b c.txt is still a temporary, and is completed.
TEST(RunJournalTest, RollingForwardRenamesWhatIsLeftAndRemovesTheJournal) {
  TempFolder folder;
  write_whole_file(folder.file("a.dat"), "new a");
  write_whole_file(folder.file(kTemporaryB), "new b");
  write_whole_file(folder.file("b c.txt"), "old b");
  ASSERT_TRUE(write_run_journal(folder.path(), {{kTemporaryA, "a.dat"}, {kTemporaryB, "b c.txt"}}).ok());
  std::vector<std::string> completed;
  ASSERT_TRUE(roll_forward(folder.path(), &completed).ok());
  EXPECT_EQ(completed, std::vector<std::string>{"b c.txt"});
  EXPECT_EQ(files_in(folder.path()), (std::vector<std::string>{"a.dat", "b c.txt"}));
  EXPECT_EQ(read_whole_file(folder.file("b c.txt")), "new b");
  EXPECT_TRUE(roll_forward(folder.path()).ok());  // nothing left to do
}

TEST(RunJournalTest, AJournalOfAnotherFormIsRemovedWithoutARename) {
  TempFolder folder;
  write_whole_file(folder.file("notes.txt"), "a user's notes");
  write_whole_file(folder.file("a.dat"), "old a");
  write_whole_file(folder.file(kRunJournalName), journal_text({{"notes.txt", "a.dat"}}));
  ASSERT_TRUE(roll_forward(folder.path()).ok());
  EXPECT_EQ(files_in(folder.path()), (std::vector<std::string>{"a.dat", "notes.txt"}));
  EXPECT_EQ(read_whole_file(folder.file("a.dat")), "old a");
}

// Any run that takes the folder completes the set first: a sink's claim, before its own files.
TEST(RunJournalTest, ASinkClaimingTheFolderRollsItForward) {
  TempFolder folder;
  write_whole_file(folder.file("a.dat"), "old a");
  write_whole_file(folder.file(kTemporaryA), "new a");
  ASSERT_TRUE(write_run_journal(folder.path(), {{kTemporaryA, "a.dat"}}).ok());
  FolderSink sink(folder.path());
  ASSERT_TRUE(sink.write_file("other.txt", "other").ok());
  EXPECT_EQ(read_whole_file(folder.file("a.dat")), "new a");
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(files_in(folder.path()), (std::vector<std::string>{"a.dat", "other.txt"}));
}

}  // namespace
}  // namespace scenario
