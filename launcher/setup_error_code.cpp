#include "launcher/setup_error_code.h"

#include "common/win_resources.h"
#include "launcher/debug_print.h"

namespace launcher {

DWORD GetSetupErrorCode() {
  DWORD result = 0;
  rav::UniqueHkey key;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\RavSetup\\Status", 0, KEY_READ, key.put());
  if (status != ERROR_SUCCESS) {
    DebugPrint("Error!!! Failed to open registry to get setup error code. Reason: %d", static_cast<int>(status));
    return 0;
  }
  DWORD size = sizeof result;
  status = RegQueryValueExA(key.get(), "ErrorCode", nullptr, nullptr, reinterpret_cast<BYTE*>(&result), &size);
  if (status != ERROR_SUCCESS) {
    DebugPrint("Error!!! Failed to get setup error code. Reason: %d", static_cast<int>(status));
    // A failed read may have left part of a longer value in the buffer.
    result = 0;
  }
  return result;
}

}  // namespace launcher
