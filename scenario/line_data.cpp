#include "scenario/line_data.h"

namespace scenario {
namespace {

constexpr std::string_view kRows[] = {
    kEndMarker,
};

}  // namespace

LineTable line_data_table() { return kRows; }

}  // namespace scenario
