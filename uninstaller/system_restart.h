#pragma once
#include <windows.h>

namespace ravuninst {

// The last step of a restart the user asked for. The program links the real
// one (system_restart.cpp); a test build links one that records the call.
void RestartSystem(UINT flags);

}  // namespace ravuninst
