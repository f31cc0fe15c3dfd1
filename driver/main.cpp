// scenario_build: writes the embedded scenario's files into the program's own folder.
#include <iostream>
#include <string>
#include <vector>

#include "cli/reports.h"
#include "driver/build_sequence.h"
#include "driver/notices.h"
#include "driver/program_arguments.h"
#include "driver/program_folder.h"

int main(int argc, char** argv) {
  if (const auto answered = scenario::answer_arguments(std::vector<std::string>(argv + 1, argv + argc))) {
    return *answered;
  }
  scenario::start_notices();
  std::string folder;
  const scenario::Status status = scenario::program_folder(&folder);
  if (!status.ok()) return scenario::finish_notices(scenario::report_file_system_failure(status, "scenario_build"));
  if (const std::string why = scenario::folder_refusal(folder); !why.empty()) {
    return scenario::finish_notices(scenario::refuse_program_folder(folder, why));
  }
  return scenario::finish_notices(scenario::Form_Load(folder));
}
