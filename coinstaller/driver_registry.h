#pragma once
// The device's driver key (the key SetupAPI opens for DIREG_DRV) and the
// values the co-installer reads from it.
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "common/core/result.h"
#include "common/win_resources.h"

namespace coinstaller {

// The driver key with full access, or why it cannot be opened. A request
// without a device element has no driver key (ERROR_INVALID_PARAMETER).
rav::Result<rav::UniqueHkey> OpenDriverKey(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData);

// A string value read into a buffer of `bufferBytes` bytes, cut at its first
// NUL; or the registry's status.
rav::Result<std::string> ReadRegistryText(HKEY key, const char* name, DWORD bufferBytes);

// The driver's installed INF file name ("InfPath"), when it can be read, fits
// the 260-character name buffer and is a plain INF file name (a name that is
// not is logged and refused with ERROR_INVALID_NAME).
bool GetInfFromDrvRegistry(HKEY driverKey, std::string& infName);

}  // namespace coinstaller
