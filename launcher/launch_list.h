#pragma once
#include <windows.h>

#include <string>

#include "launcher/exit_code.h"

namespace launcher {

// Stages the launcher directory, starts the programs that launcher.ini lists
// from the staged copy, one at a time, reads the setup error code after each
// and removes the staging directory. Returns the exit code of the launcher.
ExitCode RunLaunchList(const std::string& argumentText, const std::string& iniPath,
                       const std::string& launcherDirectory);

}  // namespace launcher
