#pragma once
#include <windows.h>

#include "launcher/core/setup_result.h"

namespace launcher {

// HKCU "SOFTWARE\RavSetup\Status" now: "ErrorCode" read as 4 bytes whatever
// its type, and the key's last write time. With `log` a key or value that
// cannot be read is logged with the failing call's status.
StatusReading GetSetupErrorCode(bool log);

}  // namespace launcher
