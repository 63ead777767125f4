#pragma once
#include <windows.h>

#include "uninstaller/exit_code.h"

namespace ravuninst {

// The whole run for this process's command line.
ExitCode RavUninstMain(HINSTANCE instance);

}  // namespace ravuninst
