// The language server for descriptions (LSP 3.17): the documents the editor has open, and the
// answer to each message.
//
// A train description (its name ends in "-.txt") is checked against its line description: the
// open buffer of "<LINE>_linea.txt" in its folder, else that file on disk, else any line
// description open or on disk in the folder. A line description ("_linea.txt") is checked with the
// train description of its folder that is open (else on disk) when there is one, and a change to
// it checks the open train descriptions of its folder again. A name that says neither is told by
// its content (a line length record makes a line description). Diagnostics are the findings of
// the check (compiler/description_check.h) on the unsaved text, converted from UTF-8 to code page
// 1252 as the check reads descriptions.
//
// No message stops the server or makes it fail: bad JSON, a message of the wrong shape, a value of
// the wrong type or a position outside the text gets an error response (for a request) or is
// passed over (for a notification).
#ifndef SCENARIO_CLI_LSP_SERVER_H_
#define SCENARIO_CLI_LSP_SERVER_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class LspServer {
 public:
  LspServer();
  ~LspServer();

  // Answers one message body: the framed messages to send, in order (responses, diagnostics).
  std::vector<std::string> handle(std::string_view body);
  // The answer to a header block that framed no message.
  std::vector<std::string> bad_framing(std::string_view why);

  // While `defer` is set, edits only note that their documents are to be checked again: a reader
  // with more messages already waiting checks once after the last of a burst of edits, never for a
  // text that is stale already. flush() gives the diagnostics of what is noted.
  void defer_diagnostics(bool defer);
  std::vector<std::string> flush();

  // The client sent "exit"; the status to end with (0 after a shutdown request, else 1).
  bool exit_requested() const;
  int exit_status() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The file path of a "file://" URI (percent escapes decoded); the URI itself for any other.
std::string path_of_uri(std::string_view uri);

}  // namespace scenario

#endif  // SCENARIO_CLI_LSP_SERVER_H_
