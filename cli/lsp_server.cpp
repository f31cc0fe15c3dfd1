#include "cli/lsp_server.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "cli/finding_formats.h"
#include "cli/lsp_document.h"
#include "cli/lsp_features.h"
#include "cli/lsp_framing.h"
#include "compiler/description_check.h"
#include "description/description_text.h"
#include "disk/file_replace.h"
#include "disk/native_path.h"
#include "format/cp1252.h"

namespace scenario {
namespace {

using nlohmann::json;

// JSON-RPC and LSP error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kServerNotInitialized = -32002;

std::string dump(const json& message) { return frame_message(message.dump(-1, ' ', false, json::error_handler_t::replace)); }

std::string response(const json& id, json result) {
  return dump({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

std::string error_response(const json& id, int code, const std::string& words) {
  return dump({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", words}}}});
}

bool ends_with_nocase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  return cp1252_lower(text.substr(text.size() - end.size())) == cp1252_lower(end);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

TextPosition position_of(const json& position) {
  return TextPosition{position.at("line").get<int>(), position.at("character").get<int>()};
}

}  // namespace

std::string path_of_uri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (!uri.starts_with(kScheme)) return std::string(uri);
  std::string_view rest = uri.substr(kScheme.size());
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && hex_digit(rest[i + 1]) >= 0 && hex_digit(rest[i + 2]) >= 0) {
      path += static_cast<char>(hex_digit(rest[i + 1]) * 16 + hex_digit(rest[i + 2]));
      i += 2;
    } else {
      path += rest[i];
    }
  }
  // "file:///C:/x" names C:/x on Windows.
  if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
  return path;
}

struct LspServer::State {
  struct Open {
    std::string path;
    bool line_kind = false;
    LspDocument document;
  };
  std::map<std::string, Open> documents;  // by URI
  std::vector<std::string> dirty;         // URIs to check again, in the order they were noted
  bool defer = false;
  bool initialized = false;
  bool shut_down = false;
  bool exit_requested = false;

  static bool tells_line(const std::string& path, const std::string& text) {
    const std::string name = utf8_of(path_of(path).filename());
    if (ends_with_nocase(name, "_linea.txt")) return true;
    if (ends_with_nocase(name, "-.txt")) return false;
    return cp1252_lower(text).find("lunghezza percorso") != std::string::npos;
  }

  static std::string folder_of(const std::string& path) { return utf8_of(path_of(path).parent_path()); }
  static std::string name_of(const std::string& path) { return utf8_of(path_of(path).filename()); }

  // A description from disk, as code-page-1252 bytes; nullopt when it cannot be read.
  static std::optional<Description> from_disk(const std::string& path) {
    std::string raw;
    if (!read_file(path, &raw).ok()) return std::nullopt;
    const DescriptionText text = decode_description(raw, TextEncoding::kAuto, path);
    return Description{path, true, text.ok ? text.bytes : raw};
  }

  static Description from_open(const Open& open) {
    return Description{open.path, true, utf8_to_cp1252(open.document.text())};
  }

  // The files of `folder` on disk whose names end in `end` (sorted).
  static std::vector<std::string> files_ending(const std::string& folder, std::string_view end) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path_of(folder.empty() ? "." : folder), error)) {
      const std::string name = utf8_of(entry.path().filename());
      if (ends_with_nocase(name, end)) found.push_back(utf8_of(entry.path()));
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  // The line description a train description is checked against.
  std::optional<Description> line_for(const Open& train) const {
    const std::string folder = folder_of(train.path);
    std::string name = name_of(train.path);
    std::string wanted;
    if (ends_with_nocase(name, "-.txt")) {
      name.resize(name.size() - 5);
      const size_t cut = name.rfind('_');
      if (cut != std::string::npos) wanted = name.substr(0, cut) + "_linea.txt";
    }
    const Open* any_open = nullptr;
    for (const auto& [uri, open] : documents) {
      if (!open.line_kind || folder_of(open.path) != folder) continue;
      if (!wanted.empty() && name_of(open.path) == wanted) return from_open(open);
      if (any_open == nullptr) any_open = &open;
    }
    if (!wanted.empty()) {
      const std::string path = utf8_of(path_of(folder) / path_of(wanted));
      if (auto disk = from_disk(path)) return disk;
    }
    if (any_open != nullptr) return from_open(*any_open);
    for (const std::string& path : files_ending(folder, "_linea.txt")) {
      if (auto disk = from_disk(path)) return disk;
    }
    return std::nullopt;
  }

  // The train description a line description is checked with, when there is one.
  std::optional<Description> train_for(const Open& line) const {
    const std::string folder = folder_of(line.path);
    std::string prefix = name_of(line.path);
    if (ends_with_nocase(prefix, "_linea.txt")) prefix.resize(prefix.size() - 9);  // keeps the '_'
    for (const auto& [uri, open] : documents) {
      if (!open.line_kind && folder_of(open.path) == folder) return from_open(open);
    }
    for (const std::string& path : files_ending(folder, "-.txt")) {
      if (name_of(path).starts_with(prefix)) {
        if (auto disk = from_disk(path)) return disk;
      }
    }
    return std::nullopt;
  }

  std::string publish(const std::string& uri) {
    const Open& open = documents.at(uri);
    std::vector<CheckFinding> findings;
    if (open.line_kind) {
      const Description line = from_open(open);
      const std::optional<Description> train = train_for(open);
      findings = check_descriptions(line, train ? *train : Description{open.path + " (no train description)", false, {}},
                                    true, kDefaultMaxFindings)
                     .findings;
    } else {
      const Description train = from_open(open);
      const std::optional<Description> line = line_for(open);
      findings = check_descriptions(line ? *line : Description{"(no line description)", false, {}}, train, true,
                                    kDefaultMaxFindings)
                     .findings;
    }
    json params = {{"uri", uri}, {"diagnostics", diagnostics_of(findings, open.path, open.document)}};
    return dump({{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", std::move(params)}});
  }

  // Notes `uri` and, for a line description, the open train descriptions beside it, to be checked
  // again; checks them at once unless checks are deferred.
  std::vector<std::string> publish_with_partners(const std::string& uri) {
    const auto note = [&](const std::string& which) {
      if (std::find(dirty.begin(), dirty.end(), which) == dirty.end()) dirty.push_back(which);
    };
    note(uri);
    const Open& changed = documents.at(uri);
    if (changed.line_kind) {
      for (const auto& [other, open] : documents) {
        if (!open.line_kind && folder_of(open.path) == folder_of(changed.path)) note(other);
      }
    }
    return defer ? std::vector<std::string>{} : flush();
  }

  std::vector<std::string> flush() {
    std::vector<std::string> out;
    for (const std::string& uri : dirty) {
      if (documents.contains(uri)) out.push_back(publish(uri));
    }
    dirty.clear();
    return out;
  }

  Open* document_of(const json& params) {
    const auto found = documents.find(params.at("textDocument").at("uri").get<std::string>());
    return found == documents.end() ? nullptr : &found->second;
  }

  std::vector<std::string> notification(const std::string& method, const json& params) {
    if (method == "exit") {
      exit_requested = true;
      return {};
    }
    if (!initialized || shut_down) return {};
    if (method == "textDocument/didOpen") {
      const json& item = params.at("textDocument");
      const std::string uri = item.at("uri").get<std::string>();
      Open open;
      open.path = path_of_uri(uri);
      open.document.set_text(item.at("text").get<std::string>());
      open.line_kind = tells_line(open.path, open.document.text());
      documents[uri] = std::move(open);
      return publish_with_partners(uri);
    }
    if (method == "textDocument/didChange") {
      const std::string uri = params.at("textDocument").at("uri").get<std::string>();
      const auto found = documents.find(uri);
      if (found == documents.end()) return {};
      // The changes apply to a copy: a change of the wrong shape leaves the document as it was.
      LspDocument document = found->second.document;
      for (const json& change : params.at("contentChanges")) {
        const std::string text = change.at("text").get<std::string>();
        if (change.contains("range")) {
          const json& range = change.at("range");
          document.replace(position_of(range.at("start")), position_of(range.at("end")), text);
        } else {
          document.set_text(text);
        }
      }
      found->second.document = std::move(document);
      return publish_with_partners(uri);
    }
    if (method == "textDocument/didClose") {
      const std::string uri = params.at("textDocument").at("uri").get<std::string>();
      if (documents.erase(uri) == 0) return {};
      std::erase(dirty, uri);
      json cleared = {{"uri", uri}, {"diagnostics", json::array()}};
      return {dump({{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", cleared}})};
    }
    return {};  // initialized, $/cancelRequest, didSave and any other notification
  }

  std::vector<std::string> request(const json& id, const std::string& method, const json& params) {
    if (method == "initialize") {
      initialized = true;
      json capabilities = {{"positionEncoding", "utf-16"},
                           {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
                           {"hoverProvider", true},
                           {"completionProvider", {{"resolveProvider", false}}},
                           {"documentSymbolProvider", true},
                           {"documentFormattingProvider", true},
                           {"inlayHintProvider", true}};
      return {response(id, {{"capabilities", capabilities}, {"serverInfo", {{"name", "scenario_tool lsp"}}}})};
    }
    if (!initialized) return {error_response(id, kServerNotInitialized, "the server is not initialized")};
    if (shut_down) return {error_response(id, kInvalidRequest, "the server is shut down")};
    if (method == "shutdown") {
      shut_down = true;
      return {response(id, nullptr)};
    }
    if (method == "textDocument/hover") {
      const Open* open = document_of(params);
      if (open == nullptr) return {response(id, nullptr)};
      return {response(id, hover_at(open->document, position_of(params.at("position"))))};
    }
    if (method == "textDocument/completion") return {response(id, completion_items())};
    if (method == "textDocument/documentSymbol") {
      const Open* open = document_of(params);
      return {response(id, open == nullptr ? json::array() : document_symbols(open->document))};
    }
    if (method == "textDocument/inlayHint") {
      const Open* open = document_of(params);
      const json& range = params.at("range");
      return {response(id, open == nullptr ? json::array()
                                           : inlay_hints(open->document, range.at("start").at("line").get<int>(),
                                                         range.at("end").at("line").get<int>()))};
    }
    if (method == "textDocument/formatting") {
      const Open* open = document_of(params);
      return {response(id, open == nullptr ? json::array() : formatting_edits(open->document))};
    }
    return {error_response(id, kMethodNotFound, "no method '" + method + "'")};
  }
};

LspServer::LspServer() : state_(std::make_unique<State>()) {}
LspServer::~LspServer() = default;

bool LspServer::exit_requested() const { return state_->exit_requested; }
int LspServer::exit_status() const { return state_->shut_down ? 0 : 1; }

void LspServer::defer_diagnostics(bool defer) { state_->defer = defer; }

std::vector<std::string> LspServer::flush() { return state_->flush(); }

std::vector<std::string> LspServer::bad_framing(std::string_view why) {
  return {error_response(nullptr, kParseError, "bad framing: " + std::string(why))};
}

std::vector<std::string> LspServer::handle(std::string_view body) {
  const json message = json::parse(body, nullptr, false);
  if (message.is_discarded()) return {error_response(nullptr, kParseError, "the message is not JSON")};
  if (!message.is_object()) return {error_response(nullptr, kInvalidRequest, "the message is not a JSON object")};
  const auto id = message.find("id");
  const bool has_id = id != message.end();
  if (has_id && !id->is_number_integer() && !id->is_string()) {
    return {error_response(nullptr, kInvalidRequest, "the id is neither a number nor a string")};
  }
  const auto method = message.find("method");
  if (method == message.end() || !method->is_string()) {
    if (has_id && !message.contains("result") && !message.contains("error")) {
      return {error_response(*id, kInvalidRequest, "the request has no method")};
    }
    return {};  // a response to nothing the server asked, or a shapeless notification
  }
  static const json kNoParams = json::object();
  const auto params_at = message.find("params");
  const json& params = params_at == message.end() ? kNoParams : *params_at;
  try {
    if (has_id) return state_->request(*id, method->get<std::string>(), params);
    return state_->notification(method->get<std::string>(), params);
  } catch (const json::exception& error) {
    if (has_id) return {error_response(*id, kInvalidParams, std::string("invalid params: ") + error.what())};
    return {};
  }
}

}  // namespace scenario
