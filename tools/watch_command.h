// scenario_tool watch: compiles two descriptions at start and again whenever either is saved, for
// an author editing them; a compile error keeps the last good outputs in place.
#ifndef SCENARIO_TOOLS_WATCH_COMMAND_H_
#define SCENARIO_TOOLS_WATCH_COMMAND_H_

#include <string>

namespace CLI {
class App;
}

namespace scenario {

struct WatchOptions {
  std::string line;   // the line description file
  std::string train;  // the train description file
  std::string out;    // the folder the compiled files go to (made when missing)
  std::string page;   // the folder of the rendered page; empty: no page
  int settle_ms = 150;  // a save is taken as done when nothing changed for this long
};

// Declares 'watch' and its options on `app`; parsing the command line fills *options.
CLI::App* add_watch_command(CLI::App& app, WatchOptions* options);

// Compiles, then waits for saves until interrupted; returns the exit status (0 ended by Ctrl-C,
// 3 the files cannot be watched).
int run_watch_command(const WatchOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_WATCH_COMMAND_H_
