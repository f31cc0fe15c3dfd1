// Decompiling against compiling: the embedded scenario, and lines of 10 km to 1000 km.
//
//  - CompileEmbeddedScenario: the whole compile of the embedded descriptions with the plan
//    (compile(), then the files encoded and handed to a sink that keeps nothing);
//  - DecompileEmbeddedScenario: the decompile of its decoded files, proof included (which is one
//    more compile of the same scenario, compared with the files' model without encoding them, plus
//    one without the plan for the post-processing points);
//  - RecoverEmbeddedDescriptions: the decompile without its proof: recovering and writing the two
//    descriptions only;
//  - DecompileLongLine/N: the decompile of a generated line of N metres; time_per_metre is the
//    time of one iteration divided by the plan's length, flat when the decompile is linear.
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/compile.h"
#include "decompile/decompile.h"
#include "format/binary_inputs.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "format/output_sink.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"
#include "scenario/train_data.h"

namespace scenario {
namespace {

const ScenarioFileNames kNames = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);

// A line of `length` m: a curve every 1000 m (400 m long, sides and classes changing), a gradient
// every 500 m, a marked mountain stretch every 20 km and a board every 5 km; a train with a speed
// limit every 10 km, a station every 25 km, a signal every 3 km and a slowdown every 50 km.
void long_scenario(int32_t length, std::string* line, std::string* train) {
  *line = "[generale]\r\nlunghezza percorso, " + std::to_string(length) + "\r\n[curve]\r\n";
  for (int32_t start = 800, n = 0; start + 400 < length; start += 1000, ++n) {
    *line += std::string("curva") + (n % 2 == 0 ? "s" : "d") + std::to_string(1 + n % 6) + ", " +
             std::to_string(start) + ", 400\r\n";
  }
  *line += "[pendenze]\r\n";
  for (int32_t p = 0; p < length; p += 500)
    *line += "pendenza, " + std::to_string(p) + ", " + std::to_string(p / 500 % 21 - 10) + "\r\n";
  *line += "[montagne]\r\n";
  for (int32_t p = 10000; p + 2000 < length; p += 20000) {
    *line += "montagna, " + std::to_string(p) + ", " + std::to_string(p + 2000) + ", 12\r\n";
  }
  *line += "[indicazioni]\r\n";
  for (int32_t p = 2525, n = 0; p < length && n < 30; p += 5000, ++n)
    *line += "cartello_indicatore, " + std::to_string(p) + ", (F)\r\n";
  *line += "[fine]\r\n";

  *train = "[generale]\r\nnumero vetture, 2\r\n[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\n";
  for (int32_t p = 0; p < length; p += 10000)
    *train += "velocita, " + std::to_string(p) + ", " + std::to_string(80 + p / 10000 % 8 * 10) + "\r\n";
  *train += "[stazioni]\r\n";
  for (int32_t p = 1000, n = 0; p + 1000 < length && n < 40; p += 25000, ++n) {
    *train += "stazione, " + std::to_string(p) + ", 11, 400, 0, 0, 0, 1, 1, 0, 2, 1, 1, 30, 19, 25, 0, S\r\n";
  }
  *train += "[rallentamenti]\r\n";
  for (int32_t p = 40000; p + 1000 < length; p += 50000)
    *train += "rallentamento, " + std::to_string(p) + ", 50, 500, 1, 1, 0\r\n";
  *train += "[segnali]\r\n";
  for (int32_t p = 1700; p < length; p += 3000)
    *train += "segnale, " + std::to_string(p) + ", 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n";
  *train += "[fine]\r\n";
}

// Takes the encoded files and keeps nothing: what encoding costs, without the memory.
class DiscardSink : public OutputSink {
 public:
  Status write_file(const std::string&, std::string_view bytes) override {
    written += bytes.size();
    return Status::Ok();
  }
  Status stream_file(const std::string&, ByteSource& source) override {
    written += drain(source);
    return Status::Ok();
  }
  Status remove_file(const std::string&) override { return Status::Ok(); }
  uint64_t written = 0;
};

// Compiles the two descriptions with the plan into `state`, and encodes the files into `sink`.
CompileResult compile_pair(const std::string& line, const std::string& train, CompileState* state, OutputSink* sink) {
  *state = CompileState();
  state->line_name = kEmbeddedLineName;
  state->train_number = kEmbeddedTrainNumber;
  const CompileResult result = compile(*state, true, Description{kNames.line_description, true, line},
                                       Description{kNames.train_description, true, train});
  if (result.has_model() && !write_outputs(*state, kNames, *sink).ok()) std::abort();
  return result;
}

// The decoded files of a compile, as the tool reads them.
CompileState decoded(const std::string& line, const std::string& train) {
  CompileState compiled;
  MemorySink sink;
  compile_pair(line, train, &compiled, &sink);
  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  decode_track_cells(sink.files.at(kNames.track_cells), &cells);
  decode_scenario_record(sink.files.at(kNames.scenario_record), &record);
  decode_line_plan(sink.files.at(kNames.line_record), &plan);
  CompileState files;
  adopt_decoded(std::move(cells), record, std::move(plan), &files);
  return files;
}

void report_per_metre(benchmark::State& state, int32_t plan_length) {
  state.counters["time_per_metre"] = benchmark::Counter(
      static_cast<double>(plan_length), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CompileEmbeddedScenario(benchmark::State& state) {
  const std::string line = render_table(line_data_table());
  const std::string train = render_table(train_data_table());
  for (auto _ : state) {
    CompileState compiled;
    DiscardSink sink;
    compile_pair(line, train, &compiled, &sink);
    if (compiled.error().ErrorCode != 0) state.SkipWithError("the embedded scenario did not compile");
    benchmark::DoNotOptimize(sink.written);
  }
}
BENCHMARK(BM_CompileEmbeddedScenario)->Unit(benchmark::kMillisecond);

void BM_DecompileEmbeddedScenario(benchmark::State& state) {
  const CompileState files = decoded(render_table(line_data_table()), render_table(train_data_table()));
  for (auto _ : state) {
    const DecompileResult result = decompile(files);
    if (!result.exact()) state.SkipWithError("the embedded scenario did not decompile exactly");
    benchmark::DoNotOptimize(result.descriptions.line.size());
  }
}
BENCHMARK(BM_DecompileEmbeddedScenario)->Unit(benchmark::kMillisecond);

void BM_RecoverEmbeddedDescriptions(benchmark::State& state) {
  const CompileState files = decoded(render_table(line_data_table()), render_table(train_data_table()));
  for (auto _ : state) {
    Findings findings;
    const DescriptionTexts texts = recover_descriptions(files, findings);
    benchmark::DoNotOptimize(texts.line.size());
  }
}
BENCHMARK(BM_RecoverEmbeddedDescriptions)->Unit(benchmark::kMillisecond);

void BM_DecompileLongLine(benchmark::State& state) {
  std::string line;
  std::string train;
  long_scenario(static_cast<int32_t>(state.range(0)), &line, &train);
  const CompileState files = decoded(line, train);
  for (auto _ : state) {
    const DecompileResult result = decompile(files);
    if (!result.exact()) state.SkipWithError("the long line did not decompile exactly");
    benchmark::DoNotOptimize(result.descriptions.line.size());
  }
  report_per_metre(state, files.plan.plan_length());
}
BENCHMARK(BM_DecompileLongLine)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
