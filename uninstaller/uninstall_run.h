#pragma once
#include <windows.h>

namespace ravuninst {

// Verbose mode: administrator check, confirmation, progress window, the
// setup engine's uninstall, then its error or a restart offer. Returns the
// exit code of the process.
int RunUninstall(HINSTANCE instance);

}  // namespace ravuninst
