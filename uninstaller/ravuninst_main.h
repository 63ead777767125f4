#pragma once
#include <windows.h>

namespace ravuninst {

// The whole run for this process's command line; returns its exit code.
int RavUninstMain(HINSTANCE instance);

}  // namespace ravuninst
