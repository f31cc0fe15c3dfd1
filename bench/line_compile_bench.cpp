// Cost of the line phase and of the binary writers, per metre of plan.
//
// The counter time_per_metre is the time of one iteration divided by the plan's length in metres.
// Peak memory of the longest line: run this program with --benchmark_filter=MillionMetre under
// /usr/bin/time -v and read "Maximum resident set size".
//
// The figures of bench/short_table.py: BM_PlanStep (the recurrence alone, runs of 1000 m),
// BM_EncodeLineRecord (the encoder alone: laid-out points into a fixed buffer, as the sink takes
// it), BM_StreamLineRecord (the two together, as the compile streams the line record) and
// BM_CompileLongScenario at 10 km, 100 km and 1,000 km (the whole compile of the generated
// scenario, files streamed into a sink that only counts them: the time per metre must stay flat).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/long_scenario.h"
#include "compiler/compile.h"
#include "compiler/line_parser.h"
#include "description/field_reader.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
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

constexpr size_t kSinkChunk = size_t{256} << 10;  // the disk sink's buffer

// A plan of `plan_length` metres (1,007,000 by default) in runs of 1000 m, straights and class-5
// curves in turn.
LinePlan alternating_plan(int32_t plan_length = 1007000) {
  LinePlan plan;
  plan.allocate(plan_length);
  plan.start();
  for (int32_t end = 1000, n = 0; end <= plan_length - 2; end += 1000, ++n) {
    plan.run_to(end, n % 2 == 0 ? 0.0 : 0.002);
  }
  return plan;
}

// The recurrence alone: every point of the plan computed once and handed to a consumer that only
// makes it exist (no memory traffic is counted).
void BM_PlanStep(benchmark::State& state) {
  const LinePlan plan = alternating_plan();
  for (auto _ : state) {
    PlanWalk walk(plan);
    walk.take(plan.next_metre() - 2, [](PlanPoint point) { benchmark::DoNotOptimize(point); });
  }
  report_per_metre(state, plan.plan_length());
}
BENCHMARK(BM_PlanStep)->Unit(benchmark::kMillisecond);

// The encoder alone: a line record whose points are already laid out (as a plan read back from a
// file holds them), into a fixed buffer as the sink takes it. The argument is the plan's length:
// 100,000 m keeps the points (1.6 MB) in the core's cache, 1,007,000 m (16 MB) reads them from
// memory, which then bounds the figure.
void BM_EncodeLineRecord(benchmark::State& state) {
  LinePlan points = alternating_plan(static_cast<int32_t>(state.range(0)));
  points.x(2);  // lays the points out
  const std::unique_ptr<char[]> buffer(new char[kSinkChunk]);
  size_t written = 0;
  for (auto _ : state) {
    LinePlanSource source(points);
    written = 0;
    while (const size_t n = source.next_chunk(buffer.get(), kSinkChunk)) written += n;
    benchmark::DoNotOptimize(buffer[0]);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(written));
  report_per_metre(state, points.plan_length());
}
BENCHMARK(BM_EncodeLineRecord)->Arg(100000)->Arg(1007000)->Unit(benchmark::kMillisecond);

// What the compile does: the line record streamed from the plan's runs, the recurrence walked once
// for the x half and once for the y half, straight into the buffer.
void BM_StreamLineRecord(benchmark::State& state) {
  const CompileState compiled = compile_line(million_metre_line());
  const std::unique_ptr<char[]> buffer(new char[kSinkChunk]);
  size_t written = 0;
  for (auto _ : state) {
    LinePlanSource source(compiled.plan);
    written = 0;
    while (const size_t n = source.next_chunk(buffer.get(), kSinkChunk)) written += n;
    benchmark::DoNotOptimize(buffer[0]);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(written));
  report_per_metre(state, compiled.plan_length);
}
BENCHMARK(BM_StreamLineRecord)->Unit(benchmark::kMillisecond);

// Takes the files as the disk sink does, chunk by chunk into one buffer, and only counts them.
class CountingSink : public OutputSink {
 public:
  Status write_file(const std::string&, std::string_view bytes) override {
    written += bytes.size();
    return Status::Ok();
  }
  Status stream_file(const std::string&, ByteSource& source) override {
    while (const size_t n = source.next_chunk(buffer_.get(), kSinkChunk)) written += n;
    return Status::Ok();
  }
  Status remove_file(const std::string&) override { return Status::Ok(); }
  size_t written = 0;

 private:
  std::unique_ptr<char[]> buffer_{new char[kSinkChunk]};
};

void BM_CompileLongScenario(benchmark::State& state) {
  const int32_t length = static_cast<int32_t>(state.range(0));
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  const Description line{names.line_description, true, bench::long_line_description(length)};
  const Description train{names.train_description, true, bench::small_train_description(length)};
  int32_t plan_length = 0;
  for (auto _ : state) {
    CompileState compiled;
    compiled.line_name = kEmbeddedLineName;
    compiled.train_number = kEmbeddedTrainNumber;
    CountingSink sink;
    if (compile(compiled, true, line, train).has_model()) benchmark::DoNotOptimize(write_outputs(compiled, names, sink));
    if (compiled.error().ErrorCode != 0) state.SkipWithError("the generated scenario did not compile");
    plan_length = compiled.plan_length;
    benchmark::DoNotOptimize(sink.written);
  }
  report_per_metre(state, plan_length);
}
BENCHMARK(BM_CompileLongScenario)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
