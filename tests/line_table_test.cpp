#include "scenario/line_table.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "disk/file_replace.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::TempFolder;
using testing::write_whole_file;

struct RenderCase {
  const char* what;
  std::vector<std::string_view> table;
  std::string bytes;
};

class RenderTableTest : public ::testing::TestWithParam<RenderCase> {};

TEST_P(RenderTableTest, WritesTheEntriesBeforeTheMarkerEachWithCrLf) {
  const RenderCase& c = GetParam();
  EXPECT_EQ(render_table(c.table), c.bytes) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RenderTableTest,
    ::testing::Values(
        RenderCase{"marker at index 0 gives no bytes", {kEndMarker, "never"}, ""},
        RenderCase{"lines end in CR LF, the last one too",
                   {"[generale]", "[fine]", kEndMarker},
                   "[generale]\r\n[fine]\r\n"},
        RenderCase{"leading and trailing blanks stay",
                   {"orologio,    19              19            45 ", "  x  ", kEndMarker},
                   "orologio,    19              19            45 \r\n  x  \r\n"},
        RenderCase{"an empty entry is an empty line", {"a", "", "b", kEndMarker}, "a\r\n\r\nb\r\n"},
        RenderCase{"entries after the marker are never read", {"a", kEndMarker, "b", kEndMarker}, "a\r\n"},
        RenderCase{"only the exact marker ends the table",
                   {"Riferimento fine del file", " riferimento fine del file", kEndMarker},
                   "Riferimento fine del file\r\n riferimento fine del file\r\n"},
        RenderCase{"accented letters become one code-page-1252 byte each",
                   {"Sx Sorlì 5°", kEndMarker},
                   "Sx Sorl\xEC 5\xB0\r\n"},
        RenderCase{"a table without a marker is written whole", {"a", "b"}, "a\r\nb\r\n"}));

TEST(ScriviRigheTest, ReplacesALongerExistingFileEntirely) {
  TempFolder folder;
  write_whole_file(folder.file("out.txt"), std::string(5000, 'x') + "\r\nriferimento fine del file\r\n");
  FolderSink sink(folder.path());
  const std::string_view table[] = {"[generale]", "[fine]", kEndMarker};
  ASSERT_TRUE(scrivi_righe(sink, "out.txt", table).ok());
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(read_whole_file(folder.file("out.txt")), "[generale]\r\n[fine]\r\n");
}

TEST(ScriviRigheTest, AMarkerAtIndexZeroLeavesAZeroByteFile) {
  TempFolder folder;
  write_whole_file(folder.file("out.txt"), "old content\r\n");
  FolderSink sink(folder.path());
  const std::string_view table[] = {kEndMarker};
  ASSERT_TRUE(scrivi_righe(sink, "out.txt", table).ok());
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(read_whole_file(folder.file("out.txt")), "");
}

TEST(ScriviRigheTest, AFolderThatDoesNotExistIsReported) {
  TempFolder folder;
  FolderSink sink(folder.file("missing"));
  const std::string_view table[] = {"a", kEndMarker};
  const Status status = scrivi_righe(sink, "out.txt", table);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.kind(), Status::Kind::kFileSystem);
}

}  // namespace
}  // namespace scenario
