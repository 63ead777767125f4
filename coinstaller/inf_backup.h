#pragma once
// The backup of the driver's installed INF in the system directory, which
// device removal later deletes. Every installation replaces it.
#include <windows.h>

#include "coinstaller/windows_directory.h"

namespace coinstaller {

// Copies "<windows>\Inf\<InfPath>" to "<windows>\System32\<InfPath>". Both
// paths are formed from `windows` only: a directory that could not be read
// forms none, and nothing is copied.
void BackUpInfFile(HKEY driverKey, const WindowsDirectory& windows);

}  // namespace coinstaller
