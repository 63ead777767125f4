#pragma once
#include <windows.h>

#include "uninstaller/exit_code.h"

namespace ravuninst {

// Verbose mode: administrator check, confirmation, progress window, the
// setup engine's uninstall, then its error or a restart offer.
ExitCode RunUninstall(HINSTANCE instance);

}  // namespace ravuninst
