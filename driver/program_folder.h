// The program folder: the folder that holds the running executable.
//
// Every file of a run is read and written there, under folder + "/" + name. It is found from the
// executable's own path, never from the current directory.
#ifndef SCENARIO_DRIVER_PROGRAM_FOLDER_H_
#define SCENARIO_DRIVER_PROGRAM_FOLDER_H_

#include <string>

#include "model/status.h"

namespace scenario {

// The folder of the running executable, without a trailing separator.
Status program_folder(std::string* folder);

// Why the program must not write into `folder` (a program folder), or "" when it may: the install
// prefix's bin folder and the system's own program folders (/usr/bin, /bin, /usr/sbin, /sbin,
// /usr/local/bin, /usr/local/sbin) are "a system folder"; a folder this user cannot write into
// gives the system's reason. On Windows, where the program is unzipped anywhere and started from
// there, a folder is never refused.
std::string folder_refusal(const std::string& folder);

}  // namespace scenario

#endif  // SCENARIO_DRIVER_PROGRAM_FOLDER_H_
