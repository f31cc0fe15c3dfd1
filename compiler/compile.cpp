#include "compiler/compile.h"

#include "compiler/check_codes.h"
#include "compiler/line_parser.h"
#include "compiler/post_processing.h"
#include "compiler/train_parser.h"
#include "description/field_reader.h"
#include "model/cell_values.h"
#include "model/header_view.h"

namespace scenario {

DescriptionFate memorizza_dati(CompileState& state, const Description& line, const Description& train) {
  DescriptionFate fate;
  const HeaderView header(state.station_table);
  header.line_name() = state.line_name;
  header.train_number() = state.train_number;
  if (!line.exists) {
    state.record_error(ErrorNumber::kLineDescriptionMissing);
    return fate;
  }
  {
    FieldReader reader(line.bytes, line.file_name);
    fate.remove_line = true;
    const LinePhaseEnd end = parse_line_description(state, reader);
    if (end == LinePhaseEnd::kStop) return fate;
    fate.remove_train = true;
    if (end == LinePhaseEnd::kFailed) return fate;
  }
  if (!train.exists) {
    state.record_error(ErrorNumber::kRunTimeFailure, std::nullopt, SourcePlace(),
                       "the train description " + train.file_name + " is missing");
    return fate;
  }
  FieldReader reader(train.bytes, train.file_name);
  parse_train_description(state, reader);
  return fate;
}

CompileResult compile(CompileState& state, bool line_plan, const Description& line, const Description& train,
                      CheckFindings* findings) {
  CompileResult result;
  state.write_line_plan = line_plan ? 1 : 0;
  state.clear_error();
  state.clear_station_table();
  // The track model is built afresh from this run's line description, never kept from an
  // earlier compile with the same state.
  state.cells.clear();
  state.cell_count = 0;
  state.plan_length = 0;
  state.plan.clear();
  state.header_value_a_from = SourcePlace();
  state.header_value_b_from = SourcePlace();

  result.finished = memorizza_dati(state, line, train);
  if (state.cells.size() <= kHeaderCell) {
    result.no_model = true;
    return result;
  }

  post_process(state, findings);

  const HeaderView header(state.station_table);
  TrackCell& header_cell = state.cells[kHeaderCell];
  if (header.header_constant() != 0 || header_cell.value_a != 0) {
    result.fatal = kFatalCell1ValueA;
    return result;
  }
  header.header_constant() = kHeaderEntryMarker;
  header_cell.value_a = kHeaderCellMarker;
  if (header.check_code() != 0 || header_cell.value_b != 0) {
    result.fatal = kFatalCell1ValueB;
    return result;
  }
  header.check_code() = codice_gara_st(header.train_number(), header.line_name());
  header_cell.value_b = codice_gara_og(header.train_number(), header.line_name());
  return result;
}

}  // namespace scenario
