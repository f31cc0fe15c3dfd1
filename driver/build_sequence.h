// The build sequence of the program: start-up, the order of the build, and its reports.
//
// Form_Load shows the wait notice ("Attendere" on standard error), then builds the embedded scenario
// into the program folder (cli/embedded_build.h: the five text files written, the two descriptions
// compiled into the three binary files and removed), and returns the exit status:
//   0  the scenario compiled cleanly;
//   1  a compile error: "compile error N at P m: ..." on standard error (outputs still written,
//      unless the parse produced no track model);
//   2  a fatal report through errore (" Errore n. 1250"), nothing further written;
//   3  a file could not be read, written or removed: the path and the reason on standard error.
#ifndef SCENARIO_DRIVER_BUILD_SEQUENCE_H_
#define SCENARIO_DRIVER_BUILD_SEQUENCE_H_

#include <string>

namespace scenario {

// Runs the whole build in `folder`; returns the exit status.
int Form_Load(const std::string& folder);

// The fatal report: shows " Errore n. " and the number (fatal_report, compiler/error_catalogue.h)
// and ends the program at once with exit status 2.
[[noreturn]] void errore(const std::string& number);

}  // namespace scenario

#endif  // SCENARIO_DRIVER_BUILD_SEQUENCE_H_
