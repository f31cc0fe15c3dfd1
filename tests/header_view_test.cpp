#include "model/header_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace scenario {
namespace {

using Editor = HeaderView<ScenarioRecord>;

// Each numeric accessor against the entry and field it stands for.
TEST(HeaderViewTest, EveryAccessorIsItsEntrysField) {
  struct Case {
    const char* what;
    std::function<void(const Editor&)> write;  // writes 7 through the view
    int entry;
    std::function<int64_t(const StationEntry&)> field;
  };
  const std::vector<Case> cases = {
      {"braked mass percentage", [](const Editor& h) { h.braked_mass_percentage() = 7; }, 84,
       [](const StationEntry& e) { return e.area_start; }},
      {"line length", [](const Editor& h) { h.line_length() = 7; }, 84,
       [](const StationEntry& e) { return e.area_end; }},
      {"number of cars", [](const Editor& h) { h.number_of_cars() = 7; }, 84,
       [](const StationEntry& e) { return e.position; }},
      {"background one", [](const Editor& h) { h.background_one() = 7; }, 85,
       [](const StationEntry& e) { return e.area_start; }},
      {"background two", [](const Editor& h) { h.background_two() = 7; }, 85,
       [](const StationEntry& e) { return e.position; }},
      {"background three", [](const Editor& h) { h.background_three() = 7; }, 85,
       [](const StationEntry& e) { return e.area_end; }},
      {"header constant", [](const Editor& h) { h.header_constant() = 7; }, 85,
       [](const StationEntry& e) { return e.group1_a; }},
      {"check code", [](const Editor& h) { h.check_code() = 7; }, 85,
       [](const StationEntry& e) { return e.time_seconds; }},
      {"repetition from", [](const Editor& h) { h.repetition_from() = 7; }, 86,
       [](const StationEntry& e) { return e.area_start; }},
      {"repetition to", [](const Editor& h) { h.repetition_to() = 7; }, 86,
       [](const StationEntry& e) { return e.area_end; }},
      {"repetition codes", [](const Editor& h) { h.repetition_codes() = 7; }, 86,
       [](const StationEntry& e) { return e.position; }},
      {"sand", [](const Editor& h) { h.sand() = 7; }, 86, [](const StationEntry& e) { return e.group1_a; }},
      {"clock hours", [](const Editor& h) { h.clock_hours() = 7; }, 86,
       [](const StationEntry& e) { return e.group2_a; }},
      {"clock minutes", [](const Editor& h) { h.clock_minutes() = 7; }, 86,
       [](const StationEntry& e) { return e.group2_b; }},
      {"clock seconds", [](const Editor& h) { h.clock_seconds() = 7; }, 86,
       [](const StationEntry& e) { return e.group2_c; }},
      {"progression tre first", [](const Editor& h) { h.progression_first(ProgressionSlot::kTre) = 7; }, 81,
       [](const StationEntry& e) { return e.area_start; }},
      {"progression due second", [](const Editor& h) { h.progression_second(ProgressionSlot::kDue) = 7; }, 82,
       [](const StationEntry& e) { return e.area_end; }},
      {"progression uno flag", [](const Editor& h) { h.progression_flag(ProgressionSlot::kUno) = 7; }, 83,
       [](const StationEntry& e) { return e.position; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScenarioRecord record;
    c.write(HeaderView(record));
    EXPECT_EQ(c.field(record[static_cast<size_t>(c.entry)]), 7);
    // Nothing else changed: clearing that one field gives an empty record again.
    ScenarioRecord expected;
    expected[static_cast<size_t>(c.entry)] = record[static_cast<size_t>(c.entry)];
    EXPECT_EQ(record, expected);
  }
}

TEST(HeaderViewTest, NamesAndProgressionsAsValues) {
  ScenarioRecord record;
  const HeaderView editor(record);
  editor.line_name() = "Linea";
  editor.train_number() = "77";
  editor.set_progression(ProgressionSlot::kDue, {50000, 3100, 1});
  EXPECT_EQ(record[85].name, "Linea");
  EXPECT_EQ(record[86].name, "77");
  EXPECT_EQ(record[82].area_start, 50000);
  EXPECT_EQ(record[82].area_end, 3100);
  EXPECT_EQ(record[82].position, 1);

  const ScenarioRecord& read_only = record;
  const HeaderView reader(read_only);
  EXPECT_EQ(reader.line_name(), "Linea");
  EXPECT_EQ(reader.progression(ProgressionSlot::kDue), (Progression{50000, 3100, 1}));
  EXPECT_EQ(reader.progression(ProgressionSlot::kTre), Progression());
  EXPECT_EQ(progression_entry(ProgressionSlot::kUno), 83);
}

}  // namespace
}  // namespace scenario
