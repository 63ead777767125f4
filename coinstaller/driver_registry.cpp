#include "coinstaller/driver_registry.h"

#include <cstring>
#include <vector>

#include "coinstaller/debug_print.h"
#include "coinstaller/core/system_paths.h"

namespace coinstaller {

rav::Result<rav::UniqueHkey> OpenDriverKey(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData) {
  if (deviceInfoData == nullptr) return rav::Failure{ERROR_INVALID_PARAMETER};
  rav::UniqueHkey key(
      SetupDiOpenDevRegKey(deviceInfoSet, deviceInfoData, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_ALL_ACCESS));
  if (!key) return rav::Failure{GetLastError()};
  return key;
}

rav::Result<std::string> ReadRegistryText(HKEY key, const char* name, DWORD bufferBytes) {
  // One byte more than the value may fill, so the text always ends.
  std::vector<char> buffer(bufferBytes + 1, '\0');
  DWORD size = bufferBytes;
  const LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (status != ERROR_SUCCESS) return rav::Failure{static_cast<DWORD>(status)};
  return std::string(buffer.data(), strnlen(buffer.data(), size));
}

bool GetInfFromDrvRegistry(HKEY driverKey, std::string& infName) {
  DebugPrint("Entering GetInfFromDrvRegistry()");
  rav::Result<std::string> value = ReadRegistryText(driverKey, "InfPath", 4096);
  // A name the caller's buffer cannot hold is refused: cut, it would name
  // another file to back up or delete.
  if (value && !FitsPathBuffer(*value)) value = rav::Failure{ERROR_FILENAME_EXCED_RANGE};
  // So is a name that could lead anywhere but to an INF file in the INF and
  // system directories: the backup is copied to and deleted from that name.
  if (value && !IsPlainInfFileName(*value)) {
    DebugPrintFailure("Refusing 'InfPath' that is not an INF file name: %s", value->c_str());
    value = rav::Failure{ERROR_INVALID_NAME};
  }
  if (!value) {
    DebugPrintFailure("Failed to read 'InfPath' from driver registry. [err=%ld]", ErrorCode(value.error()));
    return false;
  }
  infName = *value;
  DebugPrint("Inf File Name: %s", infName.c_str());
  DebugPrint("Leaving GetInfFromDrvRegistry()");
  return true;
}

}  // namespace coinstaller
