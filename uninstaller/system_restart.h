#pragma once
// The platform call that restarts the machine, handed down from the entry
// point to the restart offer. The program passes the real one; a test build
// passes one that records the request, as a real restart would end every
// program on the machine, the test's own too.
#include <windows.h>

namespace ravuninst {

struct SystemRestartCalls {
  decltype(&ExitWindowsEx) exitWindows = &ExitWindowsEx;
};

}  // namespace ravuninst
