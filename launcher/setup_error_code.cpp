#include "launcher/setup_error_code.h"

#include "common/win_resources.h"
#include "launcher/debug_print.h"

namespace launcher {

StatusReading GetSetupErrorCode(bool log) {
  StatusReading reading;
  rav::UniqueHkey key;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\RavSetup\\Status", 0, KEY_READ, key.put());
  if (status != ERROR_SUCCESS) {
    if (log) {
      DebugPrint("Error!!! Failed to open registry to get setup error code. Reason: %d", static_cast<int>(status));
    }
    return reading;
  }
  FILETIME written = {};
  if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, &written) == ERROR_SUCCESS) {
    reading.keyWriteTime = (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
  }
  DWORD value = 0;
  DWORD size = sizeof value;
  status = RegQueryValueExA(key.get(), "ErrorCode", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  if (status != ERROR_SUCCESS) {
    if (log) DebugPrint("Error!!! Failed to get setup error code. Reason: %d", static_cast<int>(status));
    // A failed read may have left part of a longer value in the buffer.
    return reading;
  }
  reading.valueRead = true;
  reading.value = value;
  return reading;
}

}  // namespace launcher
