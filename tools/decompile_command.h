// scenario_tool decompile: writes the line and the train description that compile to given
// compiled files, byte for byte, and proves it.
#ifndef SCENARIO_TOOLS_DECOMPILE_COMMAND_H_
#define SCENARIO_TOOLS_DECOMPILE_COMMAND_H_

#include <string>

namespace CLI {
class App;
}

namespace scenario {

struct DecompileOptions {
  std::string dat;           // the track cells, NAME_NUM.dat
  std::string sim;           // the scenario record, NAME_NUM.sim
  std::string plan;          // the line record, NAME_linea.dat; empty: no curves are written
  std::string out;           // the folder the descriptions go to (made when missing)
  std::string line_name;     // UTF-8; empty: the name the scenario record holds
  std::string train_number;  // UTF-8; empty: the number the scenario record holds
  bool verbose = false;
  bool no_wait = false;  // refuse when another run is writing into the output folder
};

// Declares 'decompile' and its options on `app`; parsing the command line fills *options.
CLI::App* add_decompile_command(CLI::App& app, DecompileOptions* options);

// Runs the decompile; returns the exit status (0 the descriptions compile to the same files; 1 the
// files hold what no description gives, the closest descriptions written; 3 a file could not be
// read, decoded or written; 64 the scenario record names nothing that can name a file).
int run_decompile_command(const DecompileOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_COMMAND_H_
