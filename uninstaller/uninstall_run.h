#pragma once
#include <windows.h>

#include "uninstaller/core/exit_code.h"
#include "uninstaller/system_restart.h"

namespace ravuninst {

// Verbose mode: administrator check, confirmation, progress window, the
// setup engine's uninstall, then its error or a restart offer. Returns the
// exit code of the process. A restart goes through `calls`.
ExitCode RunUninstall(HINSTANCE instance, const SystemRestartCalls& calls = SystemRestartCalls());

}  // namespace ravuninst
