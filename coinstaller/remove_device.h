#pragma once
// DIF_REMOVE, before the class installer removes the adapter: disables the
// device, unregisters and deletes the IHV companion libraries and deletes
// the INF backup. The platform's removal goes on whatever happens here.
#include <windows.h>
#include <setupapi.h>

#include "coinstaller/property_change.h"

namespace coinstaller {

DWORD OnRemoveDevice(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                     const ClassInstallerCalls& calls = ClassInstallerCalls());

}  // namespace coinstaller
