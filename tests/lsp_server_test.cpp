#include "cli/lsp_server.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "cli/lsp_features.h"
#include "cli/lsp_framing.h"
#include "format/cp1252.h"
#include "tests/compiled_scenario.h"
#include "tests/test_support.h"
#include "tools/lsp_command.h"

namespace scenario {
namespace {

using nlohmann::json;
using testing::TempFolder;

// Whether `actual` holds everything `expected` holds: the same scalars, every key of an object,
// and arrays of the same length whose elements match in order.
bool matches(const json& actual, const json& expected, std::string* why, const std::string& where = "") {
  if (expected.is_object()) {
    if (!actual.is_object()) return *why = where + " is not an object", false;
    for (const auto& [key, value] : expected.items()) {
      if (!actual.contains(key)) return *why = where + "/" + key + " is missing", false;
      if (!matches(actual.at(key), value, why, where + "/" + key)) return false;
    }
    return true;
  }
  if (expected.is_array()) {
    if (!actual.is_array() || actual.size() != expected.size()) {
      return *why = where + " is not an array of " + std::to_string(expected.size()), false;
    }
    for (size_t i = 0; i < expected.size(); ++i) {
      if (!matches(actual[i], expected[i], why, where + "/" + std::to_string(i))) return false;
    }
    return true;
  }
  if (actual != expected) return *why = where + " is " + actual.dump() + ", not " + expected.dump(), false;
  return true;
}

// The bodies of framed messages.
std::vector<json> unframe(const std::string& bytes) {
  std::istringstream in(bytes);
  MessageReader reader(in);
  std::vector<json> messages;
  std::string body;
  while (reader.read(&body) == FrameRead::kMessage) messages.push_back(json::parse(body));
  return messages;
}

std::vector<json> send(LspServer& server, const json& message) {
  std::string framed;
  for (const std::string& answer : server.handle(message.dump())) framed += answer;
  return unframe(framed);
}

json request(int id, const std::string& method, json params = json::object()) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

json notification(const std::string& method, json params = json::object()) {
  return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

json range(int line, int from, int to) {
  return {{"start", {{"line", line}, {"character", from}}}, {"end", {{"line", line}, {"character", to}}}};
}

json diagnostics_for(const std::string& uri, json diagnostics) {
  return {{"method", "textDocument/publishDiagnostics"}, {"params", {{"uri", uri}, {"diagnostics", diagnostics}}}};
}

// The embedded pair in a folder, as an author has it, and a server that has them in view.
class LspConversation : public ::testing::Test {
 protected:
  void SetUp() override {
    line_text = cp1252_to_utf8(testing::embedded_line_description());
    train_text = cp1252_to_utf8(testing::embedded_train_description());
    testing::write_whole_file(folder.file("MorvellaC_DrasconaX_linea.txt"), testing::embedded_line_description());
    testing::write_whole_file(folder.file("MorvellaC_DrasconaX_5521-.txt"), testing::embedded_train_description());
    line_uri = "file://" + folder.file("MorvellaC_DrasconaX_linea.txt");
    train_uri = "file://" + folder.file("MorvellaC_DrasconaX_5521-.txt");
  }

  // Runs the steps: each message in, and the responses it must give, in order.
  void run(const std::vector<std::pair<json, std::vector<json>>>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
      const auto& [message, expected] = steps[i];
      SCOPED_TRACE("step " + std::to_string(i + 1) + ": " + message.value("method", std::string("?")));
      const std::vector<json> answers = send(server, message);
      ASSERT_EQ(answers.size(), expected.size()) << json(answers).dump(1).substr(0, 3000);
      for (size_t k = 0; k < expected.size(); ++k) {
        std::string why;
        EXPECT_TRUE(matches(answers[k], expected[k], &why)) << why << "\n" << answers[k].dump().substr(0, 3000);
      }
    }
  }

  TempFolder folder;
  LspServer server;
  std::string line_text;
  std::string train_text;
  std::string line_uri;
  std::string train_uri;
};

// The station at 8250 m moved off its 50-metre grid: error 8 on its position.
std::string with_bad_station(std::string text) {
  const size_t at = text.find("stazione,    8250,");
  text.replace(at, 18, "stazione,    8260,");
  return text;
}

TEST_F(LspConversation, DiagnosesWhileTypingAndAnswersRequests) {
  const std::string bad = with_bad_station(train_text);
  // Line 24 (0-based 23) holds the station; its position stands at characters 13 to 17.
  const json error_8 = {{"range", range(23, 13, 17)}, {"severity", 1}, {"code", "8"}};
  run({
      {request(1, "initialize", {{"capabilities", json::object()}}),
       {{{"id", 1}, {"result", {{"capabilities", {{"textDocumentSync", {{"change", 2}}}, {"hoverProvider", true}}}}}}}},
      {notification("initialized"), {}},
      {notification("textDocument/didOpen",
                    {{"textDocument", {{"uri", train_uri}, {"languageId", "scenario"}, {"version", 1}, {"text", bad}}}}),
       {diagnostics_for(train_uri, json::array({error_8}))}},
      // Typing "5" over the "6" fixes it: an incremental change.
      {notification("textDocument/didChange",
                    {{"textDocument", {{"uri", train_uri}, {"version", 2}}},
                     {"contentChanges", {{{"range", range(23, 15, 16)}, {"text", "5"}}}}}),
       {diagnostics_for(train_uri, json::array())}},
      // Hover on a station's keyword, on its position, and on its departure minutes.
      {request(2, "textDocument/hover", {{"textDocument", {{"uri", train_uri}}}, {"position", {{"line", 23}, {"character", 3}}}}),
       {{{"id", 2}, {"result", {{"range", range(23, 0, 8)}}}}}},
      {request(3, "textDocument/hover", {{"textDocument", {{"uri", train_uri}}}, {"position", {{"line", 23}, {"character", 14}}}}),
       {{{"id", 3}, {"result", {{"contents", {{"kind", "markdown"}}}, {"range", range(23, 13, 17)}}}}}},
      {request(4, "textDocument/completion", {{"textDocument", {{"uri", train_uri}}}, {"position", {{"line", 0}, {"character", 0}}}}),
       {{{"id", 4}}}},
      {request(5, "textDocument/formatting", {{"textDocument", {{"uri", train_uri}}}, {"options", {{"tabSize", 2}, {"insertSpaces", true}}}}),
       {{{"id", 5}, {"result", json::array()}}}},
      {request(6, "textDocument/definition", {{"textDocument", {{"uri", train_uri}}}}),
       {{{"id", 6}, {"error", {{"code", -32601}}}}}},
      {notification("textDocument/didClose", {{"textDocument", {{"uri", train_uri}}}}),
       {diagnostics_for(train_uri, json::array())}},
      {request(7, "shutdown"), {{{"id", 7}, {"result", nullptr}}}},
      {request(8, "textDocument/hover"), {{{"id", 8}, {"error", {{"code", -32600}}}}}},
      {notification("exit"), {}},
  });
  EXPECT_TRUE(server.exit_requested());
  EXPECT_EQ(server.exit_status(), 0);
}

TEST_F(LspConversation, HoverTellsWhatAValueMeans) {
  send(server, request(1, "initialize"));
  send(server, notification("textDocument/didOpen", {{"textDocument", {{"uri", train_uri}, {"text", train_text}}}}));
  const struct {
    int line;
    int character;
    const char* words;
  } cases[] = {
      {23, 3, "**station** `stazione`"},
      {23, 14, "8250 m, Km 8+250"},
      {22, 70, "19:25:00"},          // the departure's minutes of the second station
      {22, 80, "`SAN VITORE`"},      // its name
      {4, 14, "(19:19:45)"},         // the start clock's hours
      {3, 12, "sand"},
      {8, 18, "30 km/h; stored as 6 (steps of 5 km/h)"},  // the first speed limit's speed
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.line) + ":" + std::to_string(c.character));
    const std::vector<json> answers = send(server, request(2, "textDocument/hover",
                                                           {{"textDocument", {{"uri", train_uri}}},
                                                            {"position", {{"line", c.line}, {"character", c.character}}}}));
    ASSERT_EQ(answers.size(), 1u);
    const std::string value = answers[0]["result"]["contents"].value("value", std::string());
    EXPECT_NE(value.find(c.words), std::string::npos) << value;
  }
}

TEST_F(LspConversation, InlayHintsNameEachValuesField) {
  send(server, request(1, "initialize"));
  send(server, notification("textDocument/didOpen", {{"textDocument", {{"uri", train_uri}, {"text", train_text}}}}));
  auto hints = [&](int first, int last) {
    const std::vector<json> answers =
        send(server, request(2, "textDocument/inlayHint",
                             {{"textDocument", {{"uri", train_uri}}},
                              {"range", {{"start", {{"line", first}, {"character", 0}}}, {"end", {{"line", last}, {"character", 0}}}}}}));
    EXPECT_EQ(answers.size(), 1u);
    return answers.empty() ? json::array() : answers[0]["result"];
  };
  // "velocita,   0,    30": a hint before each of its two values.
  const json speed = hints(8, 8);
  ASSERT_EQ(speed.size(), 2u);
  EXPECT_EQ(speed[0]["position"], json({{"line", 8}, {"character", 12}}));
  EXPECT_EQ(speed[1]["position"], json({{"line", 8}, {"character", 18}}));
  for (const json& hint : speed) EXPECT_TRUE(hint["label"].get<std::string>().ends_with(":")) << hint;
  EXPECT_TRUE(hints(0, 0).empty());          // "[generale]" holds no value
  EXPECT_TRUE(hints(5000, 6000).empty());    // past the document's end
  EXPECT_EQ(hints(-10, 2).size(), 2u);       // "numero vetture" and "percentuale massa frenata"
}

TEST_F(LspConversation, AChangeInTheLineDescriptionChecksTheOpenTrainDescriptionAgain) {
  send(server, request(1, "initialize"));
  std::vector<json> answers =
      send(server, notification("textDocument/didOpen", {{"textDocument", {{"uri", train_uri}, {"text", train_text}}}}));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_TRUE(answers[0]["params"]["diagnostics"].empty());
  answers = send(server, notification("textDocument/didOpen", {{"textDocument", {{"uri", line_uri}, {"text", line_text}}}}));
  ASSERT_EQ(answers.size(), 2u);  // the line description, then the train description beside it
  // A line of 2000 m puts the train's stations past the track: the open buffer of the line is used.
  const size_t at = line_text.find("lunghezza percorso,    ");
  std::string short_line = line_text;
  short_line.replace(at, std::string("lunghezza percorso,    124000").size(), "lunghezza percorso,    2000");
  answers = send(server, notification("textDocument/didChange", {{"textDocument", {{"uri", line_uri}}},
                                                                 {"contentChanges", {{{"text", short_line}}}}}));
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[1]["params"]["uri"], train_uri);
  EXPECT_FALSE(answers[1]["params"]["diagnostics"].empty());
}

TEST_F(LspConversation, OutlineAndFormatting) {
  send(server, request(1, "initialize"));
  std::string messy = train_text;
  messy.replace(messy.find("sabbia,    60"), 13, "sabbia,60");
  send(server, notification("textDocument/didOpen", {{"textDocument", {{"uri", train_uri}, {"text", messy}}}}));
  std::vector<json> answers = send(server, request(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", train_uri}}}}));
  ASSERT_EQ(answers.size(), 1u);
  const json& symbols = answers[0]["result"];
  std::vector<std::string> sections;
  for (const json& symbol : symbols) sections.push_back(symbol["name"]);
  EXPECT_EQ(sections, (std::vector<std::string>{"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]",
                                                "[rallentamenti]", "[segnali]", "[codici]", "[fine]"}));
  EXPECT_EQ(symbols[3]["children"][0]["name"], "MORVELLA C.LE (Km 0+000)");
  EXPECT_EQ(symbols[4]["children"][0]["name"], "rallentamento Km 64+750, 50 km/h");
  answers = send(server, request(3, "textDocument/formatting", {{"textDocument", {{"uri", train_uri}}}}));
  ASSERT_EQ(answers.size(), 1u);
  ASSERT_EQ(answers[0]["result"].size(), 1u);
  EXPECT_EQ(answers[0]["result"][0]["newText"], train_text);
}

// No message makes the server fail: each bad one gets an error (requests) or nothing.
TEST(LspServerTest, AnswersEveryBadMessage) {
  const struct {
    const char* what;
    std::string body;
    int code;  // 0: no answer
  } cases[] = {
      {"not JSON", "{\"jsonrpc\":", -32700},
      {"not UTF-8", "{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"\xFF\"}", -32700},
      {"not an object", "[1,2]", -32600},
      {"an id of the wrong type", R"({"jsonrpc":"2.0","id":{},"method":"initialize"})", -32600},
      {"a request without a method", R"({"jsonrpc":"2.0","id":3})", -32600},
      {"a method of the wrong type", R"({"jsonrpc":"2.0","id":3,"method":7})", -32600},
      {"a response to nothing", R"({"jsonrpc":"2.0","id":3,"result":null})", 0},
      {"a request before initialize", R"({"jsonrpc":"2.0","id":3,"method":"textDocument/hover"})", -32002},
      {"a notification before initialize", R"({"jsonrpc":"2.0","method":"textDocument/didOpen"})", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LspServer server;
    std::string framed;
    for (const std::string& answer : server.handle(c.body)) framed += answer;
    const std::vector<json> answers = unframe(framed);
    if (c.code == 0) {
      EXPECT_TRUE(answers.empty());
    } else {
      ASSERT_EQ(answers.size(), 1u);
      EXPECT_EQ(answers[0]["error"]["code"], c.code);
    }
  }
}

TEST_F(LspConversation, ParamsOfTheWrongShapeOrOutOfRangeNeverHurt) {
  send(server, request(1, "initialize"));
  send(server, notification("textDocument/didOpen", {{"textDocument", {{"uri", train_uri}, {"text", "[generale]\r\nsabbia, 60\r\n"}}}}));
  const json uri = {{"uri", train_uri}};
  const struct {
    const char* what;
    json message;
    int code;  // the error expected; 0: a result; 1: no answer at all; 2: diagnostics
  } cases[] = {
      {"a position as text", request(2, "textDocument/hover", {{"textDocument", uri}, {"position", "x"}}), -32602},
      {"no params", request(3, "textDocument/hover"), -32602},
      {"a line past the end", request(4, "textDocument/hover", {{"textDocument", uri}, {"position", {{"line", 99}, {"character", 0}}}}), 0},
      {"a negative character", request(5, "textDocument/hover", {{"textDocument", uri}, {"position", {{"line", 1}, {"character", -4}}}}), 0},
      {"a character past the line's end", request(6, "textDocument/hover", {{"textDocument", uri}, {"position", {{"line", 1}, {"character", 1000}}}}), 0},
      {"an unknown document", request(7, "textDocument/formatting", {{"textDocument", {{"uri", "file:///nowhere-.txt"}}}}), 0},
      {"a change past the end", notification("textDocument/didChange", {{"textDocument", uri},
          {"contentChanges", {{{"range", {{"start", {{"line", 7}, {"character", 90}}}, {"end", {{"line", 2}, {"character", 0}}}}}, {"text", "x"}}}}}), 2},
      {"a change of the wrong shape", notification("textDocument/didChange", {{"textDocument", uri}, {"contentChanges", 5}}), 1},
      {"a change without text", notification("textDocument/didChange", {{"textDocument", uri}, {"contentChanges", {{{"range", 1}}}}}), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<json> answers = send(server, c.message);
    if (c.code == 1) {
      EXPECT_TRUE(answers.empty());
    } else if (c.code == 2) {
      ASSERT_EQ(answers.size(), 1u);
      EXPECT_EQ(answers[0]["method"], "textDocument/publishDiagnostics");
    } else {
      ASSERT_EQ(answers.size(), 1u);
      if (c.code == 0) {
        EXPECT_TRUE(answers[0].contains("result")) << answers[0].dump();
      } else {
        EXPECT_EQ(answers[0]["error"]["code"], c.code);
      }
    }
  }
}

TEST(LspFramingTest, ReadsFramesAndGoesOnAfterABadOne) {
  const std::string stream =
      "Content-Length: 2\r\n\r\n{}"
      "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\ncontent-length: 3\r\n\r\n[1]"
      "X-Nothing: 1\r\n\r\n"
      "Content-Length: 99999999999999\r\n\r\n"
      "Content-Length: 4\nno colon here\r\n\r\n"
      "\r\nContent-Length: 4\r\n\r\nnull"
      "Content-Length: 10\r\n\r\ncut";
  std::istringstream in(stream);
  MessageReader reader(in);
  std::string body;
  const FrameRead expected[] = {FrameRead::kMessage,    FrameRead::kMessage,    FrameRead::kBadFraming,
                                FrameRead::kBadFraming, FrameRead::kBadFraming, FrameRead::kMessage,
                                FrameRead::kEnd};
  const char* bodies[] = {"{}", "[1]", nullptr, nullptr, nullptr, "null", nullptr};
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(reader.read(&body), expected[i]);
    if (bodies[i] != nullptr) {
      EXPECT_EQ(body, bodies[i]);
    }
  }
  EXPECT_EQ(frame_message("{}"), "Content-Length: 2\r\n\r\n{}");
}

TEST(LspCommandTest, ServesFramedMessagesAndEndsWithTheStatusOfExit) {
  const auto framed = [](const std::string& body) { return frame_message(body); };
  std::istringstream in(framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") + "garbage\r\n\r\n" +
                        framed(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                        framed(R"({"jsonrpc":"2.0","method":"exit"})") + framed(R"({"jsonrpc":"2.0","id":3,"method":"x"})"));
  std::ostringstream out;
  EXPECT_EQ(serve_lsp(in, out), 0);
  const std::vector<json> answers = unframe(out.str());
  ASSERT_EQ(answers.size(), 3u);  // nothing after exit
  EXPECT_EQ(answers[1]["error"]["code"], -32700);
  EXPECT_EQ(answers[2]["id"], 2);

  std::istringstream ended(framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})"));
  EXPECT_EQ(serve_lsp(ended, out), 1);  // input ended without shutdown
}

// Edits already waiting behind one another are checked once, on the last text.
TEST_F(LspConversation, ABurstOfEditsIsCheckedOnceOnTheLastText) {
  const auto change = [&](const std::string& text) {
    return frame_message(notification("textDocument/didChange", {{"textDocument", {{"uri", train_uri}}},
                                                                 {"contentChanges", {{{"text", text}}}}})
                             .dump());
  };
  std::istringstream in(frame_message(request(1, "initialize").dump()) +
                        frame_message(notification("textDocument/didOpen",
                                                   {{"textDocument", {{"uri", train_uri}, {"text", train_text}}}})
                                          .dump()) +
                        change(train_text) + change(train_text) + change(with_bad_station(train_text)));
  std::ostringstream out;
  EXPECT_EQ(serve_lsp(in, out), 1);
  const std::vector<json> answers = unframe(out.str());
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[1]["method"], "textDocument/publishDiagnostics");
  ASSERT_EQ(answers[1]["params"]["diagnostics"].size(), 1u);
  EXPECT_EQ(answers[1]["params"]["diagnostics"][0]["code"], "8");
}

TEST(LspFeaturesTest, KilometreMarks) {
  EXPECT_EQ(kilometre_mark(12450), "Km 12+450");
  EXPECT_EQ(kilometre_mark(7), "Km 0+007");
  EXPECT_EQ(kilometre_mark(-1500), "Km -1+500");
}

}  // namespace
}  // namespace scenario
