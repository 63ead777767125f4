#pragma once
// The backup of the driver's installed INF in the system directory, which
// device removal later deletes. Every installation replaces it.
#include <windows.h>

namespace coinstaller {

void BackUpInfFile(HKEY driverKey);

}  // namespace coinstaller
