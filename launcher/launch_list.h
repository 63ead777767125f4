#pragma once
#include <windows.h>

#include <string>

namespace launcher {

// Stages the launcher directory, starts the programs that launcher.ini lists
// from the staged copy, one at a time, reads the setup error code after each
// and removes the staging directory. Returns the exit code of the launcher.
DWORD RunLaunchList(const std::string& argumentText, const std::string& iniPath,
                    const std::string& launcherDirectory);

}  // namespace launcher
