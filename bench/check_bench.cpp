// The check of descriptions beside the compile of the same descriptions: the embedded scenario,
// and a generated line of 1,000,000 m with a train over its whole length. The check reads both
// descriptions with the plan of the line, as the compile below does, and writes nothing; the
// compile also post-processes and encodes the three files into memory.
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/compile.h"
#include "compiler/description_check.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "format/output_sink.h"
#include "scenario/text_writers.h"

namespace scenario {
namespace {

constexpr int kLength = 1000000;
// 25 km at the lowest limit, 80 km/h, and a minute's stop take 19 min 45 s.
constexpr int kMinutesBetweenStations = 20;

// The hours, minutes and seconds fields of a departure `minutes` after 8:00.
std::string clock(int minutes) {
  return std::to_string(8 + minutes / 60) + "," + std::to_string(minutes % 60) + ",0";
}

struct Pair {
  Description line;
  Description train;
};

// A line of 1,000,000 m: a curve every 2 km, a gradient every km, a board every 30 km; a train
// with a speed limit every 5 km, a station every 25 km (20 minutes apart) and a signal every 3 km
// between them.
Pair million_metre_pair() {
  std::string line = "[generale]\r\nlunghezza percorso,    " + std::to_string(kLength) + "\r\n[curve]\r\n";
  for (int start = 1000, n = 0; start + 500 < kLength; start += 2000, ++n) {
    line += std::string(n % 2 == 0 ? "curvas" : "curvad") + std::to_string(1 + n % 6) + ",  " +
            std::to_string(start) + ",  500\r\n";
  }
  line += "[pendenze]\r\n";
  for (int position = 0; position < kLength; position += 1000) {
    line += "pendenza,  " + std::to_string(position) + ",   " + std::to_string(position / 1000 % 9 - 4) + "\r\n";
  }
  line += "[indicazioni]\r\n";
  for (int position = 6025, n = 0; position < kLength && n < 30; position += 30000, ++n) {
    line += "cartello_indicatore,  " + std::to_string(position) + ",   (Km " + std::to_string(n) + ")\r\n";
  }
  line += "[fine]\r\n";

  std::string train = "[generale]\r\nnumero vetture, 2\r\norologio, 8 0 0\r\naderenza, 0, 100\r\n";
  for (int position = 0; position < kLength; position += 5000) {
    train += "velocita, " + std::to_string(position) + ", " + std::to_string(80 + position / 5000 % 8 * 10) + "\r\n";
  }
  for (int position = 0, n = 0; position < kLength - 1000 && n < 35; position += 25000, ++n) {
    train += "stazione, " + std::to_string(position) + ", " + (n == 0 ? "7" : "11") +
             ", 400, 0, 0, 0, 1,1,0, 2,1,1, 60, " + clock(n * kMinutesBetweenStations) + ", STATION " +
             std::to_string(n) + "\r\n";
  }
  for (int position = 3500; position < kLength - 1000; position += 3000) {
    if (position % 25000 < 1500 || position % 25000 > 23500) continue;
    train += "segnale, " + std::to_string(position) + ", 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n";
  }
  train += "[fine]\r\n";
  return Pair{Description{"million_linea.txt", true, line}, Description{"million-.txt", true, train}};
}

Pair embedded_pair() {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  MemorySink texts;
  dati_linea(texts, names);
  dati_treno(texts, names);
  return Pair{Description{names.line_description, true, texts.files.at(names.line_description)},
              Description{names.train_description, true, texts.files.at(names.train_description)}};
}

void run_check(benchmark::State& state, const Pair& pair) {
  for (auto _ : state) {
    const std::vector<CheckFinding> findings = check_descriptions(pair.line, pair.train);
    if (!findings.empty()) state.SkipWithError(("the descriptions are not clean: " + findings[0].message).c_str());
    benchmark::DoNotOptimize(findings.data());
  }
}

void run_compile(benchmark::State& state, const Pair& pair) {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  for (auto _ : state) {
    CompileState compiled;
    MemorySink sink;
    if (compile(compiled, true, pair.line, pair.train).has_model()) benchmark::DoNotOptimize(write_outputs(compiled, names, sink));
    if (compiled.error().ErrorCode != 0) state.SkipWithError("the descriptions did not compile");
    benchmark::DoNotOptimize(sink.files.size());
  }
}

void BM_CheckEmbedded(benchmark::State& state) { run_check(state, embedded_pair()); }
void BM_CompileEmbedded(benchmark::State& state) { run_compile(state, embedded_pair()); }
void BM_CheckMillionMetre(benchmark::State& state) { run_check(state, million_metre_pair()); }
void BM_CompileMillionMetre(benchmark::State& state) { run_compile(state, million_metre_pair()); }

BENCHMARK(BM_CheckEmbedded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileEmbedded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckMillionMetre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileMillionMetre)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
