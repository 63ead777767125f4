#pragma once
#include <windows.h>

namespace launcher {

// HKCU "SOFTWARE\RavSetup\Status" "ErrorCode", read as 4 bytes whatever its
// type; 0 when it cannot be read.
DWORD GetSetupErrorCode();

}  // namespace launcher
