#pragma once
// The requests the co-installer acts on while the adapter is installed.
#include <windows.h>
#include <setupapi.h>

#include "coinstaller/property_change.h"

namespace coinstaller {

// DIF_INSTALLDEVICE. Before the class installer: asks for a second pass (not
// on version 5.0). After it: logs the selected driver, writes "Country" for a
// ROW card and backs up the installed INF; after a failed installation
// (InstallResult not NO_ERROR) only logs why not and passes that result on.
DWORD OnInstallDevice(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, PCOINSTALLER_CONTEXT_DATA context);

// DIF_NEWDEVICEWIZARD_FINISHINSTALL: restarts the device.
DWORD OnFinishInstall(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                      const ClassInstallerCalls& calls = ClassInstallerCalls());

}  // namespace coinstaller
