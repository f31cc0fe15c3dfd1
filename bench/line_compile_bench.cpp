// Cost of the line phase and of the binary writers, per metre of plan.
//
// The counter time_per_metre is the time of one iteration divided by the plan's length in metres.
// Peak memory of the longest line: run this program with --benchmark_filter=MillionMetre under
// /usr/bin/time -v and read "Maximum resident set size".
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/binary_outputs.h"
#include "compiler/field_reader.h"
#include "compiler/line_parser.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"

namespace scenario {
namespace {

// A line of 1,000,000 m with a curve starting every 1000 m (400 m long, sides and classes
// changing), a gradient record every 500 m, a mountain stretch every 20 km and a board every 5 km.
std::string million_metre_line() {
  std::string text =
      "[generale]\r\nlunghezza percorso,    1000000\r\n"
      "progressiva chilometrica uno,    0,    0,    0\r\n"
      "sfondo uno,    1\r\nripetizione segnali 4 codici,    0    ,0\r\n[curve]\r\n";
  for (int start = 800, n = 0; start + 400 < 1000000; start += 1000, ++n) {
    text += std::string("curva") + (n % 2 == 0 ? "s" : "d") + std::to_string(1 + n % 6) + ",  " +
            std::to_string(start) + ",  400\r\n";
  }
  text += "[pendenze]\r\n";
  for (int position = 0; position < 1000000; position += 500) {
    text += "pendenza,  " + std::to_string(position) + ",   " + std::to_string(position / 500 % 21 - 10) + "\r\n";
  }
  text += "[montagne]\r\n";
  for (int start = 10000; start + 2000 < 1000000; start += 20000) {
    text += "montagna,   " + std::to_string(start) + ",  " + std::to_string(start + 2000) + ",  12\r\n";
  }
  text += "[indicazioni]\r\n";
  for (int position = 2500; position < 1000000 && position < 2500 + 5000 * 79; position += 5000) {
    text += "cartello_indicatore,  " + std::to_string(position) + ",   (P.L.    )(Km 1+452)\r\n";
  }
  text += "[fine]\r\n";
  return text;
}

CompileState compile_line(const std::string& text) {
  CompileState state;
  state.write_line_plan = 1;
  FieldReader reader(text, "line.txt");
  parse_line_description(state, reader);
  return state;
}

void report_per_metre(benchmark::State& state, int32_t plan_length) {
  state.counters["time_per_metre"] = benchmark::Counter(
      static_cast<double>(plan_length), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CompileEmbeddedLine(benchmark::State& state) {
  const std::string text = render_table(line_data_table());
  int32_t plan_length = 0;
  for (auto _ : state) {
    CompileState compiled = compile_line(text);
    plan_length = compiled.plan_length;
    if (compiled.error().ErrorCode != 0) state.SkipWithError("the embedded line did not compile");
    benchmark::DoNotOptimize(compiled.plan.next_metre());
  }
  report_per_metre(state, plan_length);
}
BENCHMARK(BM_CompileEmbeddedLine)->Unit(benchmark::kMillisecond);

void BM_CompileMillionMetreLine(benchmark::State& state) {
  const std::string text = million_metre_line();
  int32_t plan_length = 0;
  for (auto _ : state) {
    CompileState compiled = compile_line(text);
    plan_length = compiled.plan_length;
    if (compiled.error().ErrorCode != 0) state.SkipWithError("the generated line did not compile");
    benchmark::DoNotOptimize(compiled.plan.next_metre());
  }
  report_per_metre(state, plan_length);
}
BENCHMARK(BM_CompileMillionMetreLine)->Unit(benchmark::kMillisecond);

void BM_EncodeMillionMetreLineOutputs(benchmark::State& state) {
  const CompileState compiled = compile_line(million_metre_line());
  size_t written = 0;
  for (auto _ : state) {
    const std::string plan = encode_line_plan(compiled.plan);
    const std::string record = encode_scenario_record(compiled);
    const std::string cells = encode_track_cells(compiled);
    written = plan.size() + record.size() + cells.size();
    benchmark::DoNotOptimize(written);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(written));
  report_per_metre(state, compiled.plan_length);
}
BENCHMARK(BM_EncodeMillionMetreLineOutputs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
