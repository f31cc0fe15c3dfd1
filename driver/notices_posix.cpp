#include <cstdlib>
#include <iostream>
#include <string>

#include "driver/notices.h"
#include "model/status.h"

namespace scenario {

void start_notices() {}

void show_wait_notice() { std::cerr << "Attendere" << std::endl; }

void show_fatal_report(const std::string& text) {
  std::cerr << text << std::endl;
  std::exit(kExitFatal);
}

int finish_notices(int status) { return status; }

}  // namespace scenario
