#include "uninstaller/system_restart.h"

namespace ravuninst {

void RestartSystem(UINT flags) { ExitWindowsEx(flags, 0); }

}  // namespace ravuninst
