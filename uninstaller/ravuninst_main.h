#pragma once
#include <windows.h>

#include "uninstaller/core/exit_code.h"
#include "uninstaller/system_restart.h"

namespace ravuninst {

// The whole run for this process's command line; returns its exit code. A
// restart the user asks for goes through `calls`.
ExitCode RavUninstMain(HINSTANCE instance, const SystemRestartCalls& calls = SystemRestartCalls());

}  // namespace ravuninst
