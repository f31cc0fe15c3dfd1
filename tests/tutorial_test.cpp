// doc/tutorial.md builds the short scenario step by step. Its fragments are the fixtures: after
// every step the descriptions built so far compile without an error and check clean, and after the
// last they are the pair the tutorial shows whole, which is the pair `scenario_tool init --empty`
// writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/description_check.h"
#include "scenario/line_table.h"
#include "scenario/short_scenario.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::lines;

constexpr const char* kLineFile = "Valbruna_linea.txt";
constexpr const char* kTrainFile = "Valbruna_8842-.txt";

// The lines of the code block that follows `from` in `text`, and where the block ends.
std::vector<std::string> block_after(const std::string& text, size_t from, size_t* end) {
  const size_t open = text.find("```\n", from);
  const size_t close = text.find("\n```", open + 4);
  std::vector<std::string> rows;
  if (open == std::string::npos || close == std::string::npos) {
    ADD_FAILURE() << "a tagged fragment without its code block";
    *end = std::string::npos;
    return rows;
  }
  size_t start = open + 4;
  while (start <= close) {
    const size_t line_end = text.find('\n', start);
    rows.push_back(text.substr(start, line_end - start));
    start = line_end + 1;
  }
  *end = close + 4;
  return rows;
}

// A description built from fragments: each record goes under its section header, the sections in
// the order the file keeps them, the records of a section (after the general one) in the order of
// their position, the file ended by [fine].
class Assembled {
 public:
  explicit Assembled(std::vector<std::string> sections) : order_(std::move(sections)) {}

  void add(const std::vector<std::string>& fragment) {
    std::string section;
    for (const std::string& row : fragment) {
      if (row.starts_with("[")) {
        section = row;
        EXPECT_NE(std::find(order_.begin(), order_.end(), section), order_.end()) << "unknown section " << section;
        records_[section];
      } else {
        EXPECT_FALSE(section.empty()) << "a record before any section header: " << row;
        records_[section].push_back(row);
      }
    }
    for (auto& [name, rows] : records_) {
      if (name == order_.front()) continue;
      std::stable_sort(rows.begin(), rows.end(),
                       [](const std::string& a, const std::string& b) { return position(a) < position(b); });
    }
  }

  std::vector<std::string> rows() const {
    std::vector<std::string> out;
    for (const std::string& section : order_) {
      const auto found = records_.find(section);
      if (found == records_.end()) continue;
      out.push_back(section);
      out.insert(out.end(), found->second.begin(), found->second.end());
    }
    out.push_back("[fine]");
    return out;
  }

 private:
  // The record's first value.
  static long position(const std::string& record) {
    const size_t comma = record.find(',');
    return comma == std::string::npos ? 0 : std::stol(record.substr(comma + 1));
  }

  std::vector<std::string> order_;
  std::map<std::string, std::vector<std::string>> records_;
};

struct Step {
  std::string title;
  std::vector<std::string> line;   // the line description after the step
  std::vector<std::string> train;  // the train description after the step
};

struct Tutorial {
  std::vector<Step> steps;
  std::vector<std::string> whole_line;
  std::vector<std::string> whole_train;
};

Tutorial read_tutorial() {
  const std::string text = testing::read_whole_file(std::string(SCENARIO_SOURCE_DIR) + "/doc/tutorial.md");
  Tutorial tutorial;
  Assembled line({"[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]"});
  Assembled train({"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]", "[segnali]", "[abbattimenti]"});
  size_t at = 0;
  while ((at = text.find("\n## Step ", at)) != std::string::npos) {
    const size_t next = text.find("\n## Step ", at + 1);
    const std::string title = text.substr(at + 4, text.find('\n', at + 1) - at - 4);
    bool added = false;
    for (size_t tag = text.find("<!-- ", at); tag < next && tag != std::string::npos; tag = text.find("<!-- ", tag)) {
      const std::string name = text.substr(tag + 5, text.find(" -->", tag) - tag - 5);
      size_t end = 0;
      const std::vector<std::string> rows = block_after(text, tag, &end);
      if (end == std::string::npos) break;
      tag = end;
      if (name == kLineFile) {
        line.add(rows);
        added = true;
      } else if (name == kTrainFile) {
        train.add(rows);
        added = true;
      } else if (name == std::string("whole ") + kLineFile) {
        tutorial.whole_line = rows;
      } else if (name == std::string("whole ") + kTrainFile) {
        tutorial.whole_train = rows;
      } else {
        ADD_FAILURE() << "unknown fragment tag " << name;
      }
    }
    if (added) tutorial.steps.push_back({title, line.rows(), train.rows()});
    at += 1;
  }
  return tutorial;
}

std::vector<std::string> table_rows(LineTable table) {
  std::vector<std::string> rows;
  for (const std::string_view row : table) {
    if (row == kEndMarker) break;
    rows.emplace_back(row);
  }
  return rows;
}

TEST(TutorialTest, EveryStepCompilesAndChecksClean) {
  const Tutorial tutorial = read_tutorial();
  ASSERT_GE(tutorial.steps.size(), 8u);
  for (const Step& step : tutorial.steps) {
    SCOPED_TRACE(step.title);
    const Description line{kLineFile, true, lines(step.line)};
    const Description train{kTrainFile, true, lines(step.train)};
    CompileState state;
    state.line_name = kShortLineName;
    state.train_number = kShortTrainNumber;
    const CompileResult result = compile(state, true, line, train);
    EXPECT_TRUE(result.has_model());
    EXPECT_EQ(state.error().ErrorCode, 0) << state.error().words;
    for (const CheckFinding& finding : check_descriptions(line, train)) {
      ADD_FAILURE() << finding.place.file << ":" << finding.place.line << ": " << finding.code << ": " << finding.message;
    }
  }
}

TEST(TutorialTest, TheStepsEndInTheWholePairThatInitEmptyWrites) {
  const Tutorial tutorial = read_tutorial();
  ASSERT_FALSE(tutorial.steps.empty());
  EXPECT_EQ(tutorial.steps.back().line, tutorial.whole_line);
  EXPECT_EQ(tutorial.steps.back().train, tutorial.whole_train);
  EXPECT_EQ(table_rows(short_line_table()), tutorial.whole_line);
  EXPECT_EQ(table_rows(short_train_table()), tutorial.whole_train);
}

TEST(TutorialTest, InitEmptyWritesTheShortScenario) {
  testing::TempFolder folder;
  const std::string into = folder.file("valbruna");
  std::string output;
  ASSERT_EQ(testing::run_command(testing::tool() + " init --empty '" + into + "'", &output), 0) << output;
  EXPECT_EQ(testing::read_whole_file(into + "/" + kLineFile), render_table(short_line_table()));
  EXPECT_EQ(testing::read_whole_file(into + "/" + kTrainFile), render_table(short_train_table()));
  EXPECT_EQ(testing::run_command(testing::tool() + " init --empty '" + into + "'", &output), 1);
  EXPECT_EQ(testing::run_command(testing::tool() + " check --line '" + into + "/" + kLineFile + "' --train '" + into +
                                     "/" + kTrainFile + "'",
                                 &output),
            0)
      << output;
}

}  // namespace
}  // namespace scenario
