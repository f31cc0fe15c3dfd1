// The language server's answer to an edit: a one-line change applied to the open text, the check of
// the pair on the unsaved text, and the diagnostics as JSON, framed, from the message in to the
// messages out. The embedded scenario, and a generated line of 1,000,000 m with a train over its
// whole length (bench/long_scenario.h). Both descriptions are open buffers, so nothing is read
// from disk; and a line description of some 20 MB (a gradient at every metre), changed, which
// checks the train description beside it again too. Also the layout of the long line's
// description (formatting).
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <string>

#include "bench/long_scenario.h"
#include "cli/lsp_server.h"
#include "description/description_layout.h"
#include "format/cp1252.h"
#include "format/output_sink.h"
#include "format/file_names.h"
#include "scenario/text_writers.h"

namespace scenario {
namespace {

using nlohmann::json;

constexpr const char* kLineUri = "file:///bench/MorvellaC_DrasconaX_linea.txt";
constexpr const char* kTrainUri = "file:///bench/MorvellaC_DrasconaX_5521-.txt";

std::string embedded(bool line) {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  MemorySink texts;
  (void)dati_linea(texts, names);
  (void)dati_treno(texts, names);
  return texts.files.at(line ? names.line_description : names.train_description);
}

std::string open_message(const char* uri, const std::string& cp1252_text) {
  return json{{"jsonrpc", "2.0"},
              {"method", "textDocument/didOpen"},
              {"params", {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", 1},
                                            {"text", cp1252_to_utf8(cp1252_text)}}}}}}
      .dump();
}

// Retypes the first character of line `line`: a one-line change that keeps the text as it was.
std::string change_message(const char* uri, int line, const std::string& character) {
  const json range = {{"start", {{"line", line}, {"character", 0}}}, {"end", {{"line", line}, {"character", 1}}}};
  return json{{"jsonrpc", "2.0"},
              {"method", "textDocument/didChange"},
              {"params", {{"textDocument", {{"uri", uri}, {"version", 2}}},
                          {"contentChanges", {{{"range", range}, {"text", character}}}}}}}
      .dump();
}

void serve_changes(benchmark::State& state, const std::string& line, const std::string& train, bool change_line) {
  LspServer server;
  server.handle(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
  server.handle(open_message(kLineUri, line));
  server.handle(open_message(kTrainUri, train));
  // Line 2 of either description starts with a keyword's letter; retyping it changes nothing.
  const std::string& text = change_line ? line : train;
  const std::string message = change_message(change_line ? kLineUri : kTrainUri, 1, text.substr(text.find('\n') + 1, 1));
  size_t bytes = 0;
  for (auto _ : state) {
    for (const std::string& answer : server.handle(message)) bytes += answer.size();
  }
  benchmark::DoNotOptimize(bytes);
}

void BM_DiagnosticsAfterAChange_Embedded(benchmark::State& state) {
  serve_changes(state, embedded(true), embedded(false), false);
}
BENCHMARK(BM_DiagnosticsAfterAChange_Embedded)->Unit(benchmark::kMillisecond);

void BM_DiagnosticsAfterAChange_Embedded_LineChanged(benchmark::State& state) {
  serve_changes(state, embedded(true), embedded(false), true);  // the line, then the train beside it
}
BENCHMARK(BM_DiagnosticsAfterAChange_Embedded_LineChanged)->Unit(benchmark::kMillisecond);

void BM_DiagnosticsAfterAChange_MillionMetres(benchmark::State& state) {
  serve_changes(state, bench::long_line_description(bench::kLongLineLength),
                bench::small_train_description(bench::kLongLineLength), false);
}
BENCHMARK(BM_DiagnosticsAfterAChange_MillionMetres)->Unit(benchmark::kMillisecond);

// A line description of some 20 MB: a gradient record at every one of its 1,000,000 metres.
std::string gradient_every_metre() {
  std::string line = "[generale]\r\nlunghezza percorso,    " + std::to_string(bench::kLongLineLength) + "\r\n[pendenze]\r\n";
  for (int32_t position = 0; position < bench::kLongLineLength; ++position) {
    line += "pendenza,  " + std::to_string(position) + ",   " + std::to_string(position / 1000 % 9 - 4) + "\r\n";
  }
  return line + "[fine]\r\n";
}

void BM_DiagnosticsAfterAChange_GradientEveryMetre(benchmark::State& state) {
  serve_changes(state, gradient_every_metre(), bench::small_train_description(bench::kLongLineLength), true);
}
BENCHMARK(BM_DiagnosticsAfterAChange_GradientEveryMetre)->Unit(benchmark::kMillisecond);

void BM_LayOut_MillionMetreLine(benchmark::State& state) {
  const std::string line = bench::long_line_description(bench::kLongLineLength);
  for (auto _ : state) benchmark::DoNotOptimize(lay_out_description(line));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_LayOut_MillionMetreLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
