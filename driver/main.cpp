// scenario_build: writes the embedded scenario's files into the program's own folder.
#include <iostream>

#include "cli/reports.h"
#include "driver/build_sequence.h"
#include "driver/notices.h"
#include "driver/program_folder.h"

int main() {
  scenario::start_notices();
  std::string folder;
  const scenario::Status status = scenario::program_folder(&folder);
  if (!status.ok()) return scenario::finish_notices(scenario::report_file_system_failure(status, "scenario_build"));
  return scenario::finish_notices(scenario::Form_Load(folder));
}
