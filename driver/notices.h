// How scenario_build shows itself to the person who started it: the wait notice while it works,
// the fatal report, and the reports a run ends with. The build takes one of two halves:
//
//  - driver/notices_posix.cpp, a console program: "Attendere" on standard error before the work,
//    the fatal report " Errore n. N" on standard error, every other report on standard error as
//    it is made.
//  - driver/notices_windows.cpp, a window program: a wait window ("Form1", the label "Attendere"),
//    painted before the first file is written and closed when the run ends; the fatal report in a
//    message box (the text alone, OK, no icon, the system's default title); a compile error or a
//    file-system failure, whose reports are gathered from standard error while the run works, in
//    a message box once the files are written.
#ifndef SCENARIO_DRIVER_NOTICES_H_
#define SCENARIO_DRIVER_NOTICES_H_

#include <string>

namespace scenario {

// Before anything else the program does.
void start_notices();
// Shows the wait notice; returns once it can be seen.
void show_wait_notice();
// Shows the fatal report `text` and ends the program with exit status 2 once it has been seen.
[[noreturn]] void show_fatal_report(const std::string& text);
// Ends the run with `status`: takes the wait notice away and shows the reports of a run that did
// not end cleanly. Returns `status`.
int finish_notices(int status);

}  // namespace scenario

#endif  // SCENARIO_DRIVER_NOTICES_H_
