#pragma once
// DIF_REMOVE, before the class installer removes the adapter: disables the
// device, unregisters and deletes the IHV companion libraries and deletes
// the INF backup. The platform's removal goes on whatever happens here.
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "coinstaller/property_change.h"
#include "coinstaller/windows_directory.h"

namespace coinstaller {

DWORD OnRemoveDevice(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                     const ClassInstallerCalls& calls = ClassInstallerCalls());

// The removal's work once the INF name is known: logs the INF cleanup
// command, unregisters the user-interface library and waits for that, then
// deletes the service library, the user-interface library and the INF
// backup. Every path is formed from `windows` only, so a Windows directory
// that could not be read deletes nothing. OnRemoveDevice passes the directory
// it reads; tests pass one that could not be read.
void CleanUpSystemDirectory(const WindowsDirectory& windows, const std::string& infName);

}  // namespace coinstaller
