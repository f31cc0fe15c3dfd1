// A scenario that ends in the fatal report 1250, for the test program scenario_build_fatal_fixture
// (tests/windows/window_check.sh): these two tables take the place of the embedded line and train
// (scenario/line_data.cpp and scenario/train_data.cpp are then not linked). A slowdown starting
// on cell 8 whose cells 3 and 2 are taken by approach boards: the compile marks cell 1.
#include "scenario/line_data.h"
#include "scenario/line_table.h"
#include "scenario/train_data.h"

namespace scenario {
namespace {

constexpr std::string_view kLineRows[] = {
    "[generale]", "lunghezza percorso, 10000", "[curve]", "[fine]", kEndMarker,
};

constexpr std::string_view kTrainRows[] = {
    "[generale]",
    "velocita, 0, 100",
    "aderenza, 0, 90",
    "abbattimento, 150, 0",
    "abbattimento, 100, 0",
    "rallentamento, 350, 30, 500, 0, 0, 0",
    "[fine]",
    kEndMarker,
};

}  // namespace

LineTable line_data_table() { return kLineRows; }
LineTable train_data_table() { return kTrainRows; }

}  // namespace scenario
