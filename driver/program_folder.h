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

}  // namespace scenario

#endif  // SCENARIO_DRIVER_PROGRAM_FOLDER_H_
