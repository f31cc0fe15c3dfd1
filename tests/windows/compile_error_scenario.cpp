// A scenario with a compile error, for the test program scenario_build_compile_error_fixture
// (tests/windows/window_check.sh): these two tables take the place of the embedded line and train
// (scenario/line_data.cpp and scenario/train_data.cpp are then not linked). A station at 125 m is
// not on a multiple of 50: compile error 8, and the files are still written.
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
    "stazione,     125,  7,  800,  1, 0, 0,  4,1,0,  2,1,1,    1,  19,20, 0, MORVELLA C.LE",
    "[fine]",
    kEndMarker,
};

}  // namespace

LineTable line_data_table() { return kLineRows; }
LineTable train_data_table() { return kTrainRows; }

}  // namespace scenario
