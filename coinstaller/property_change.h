#pragma once
// A property change of the device (restart or disable) run through the class
// installer and its co-installers, which call this co-installer again with
// DIF_PROPERTYCHANGE.
#include <windows.h>
#include <setupapi.h>

namespace coinstaller {

// The two SetupAPI calls a property change makes. Tests replace them to reach
// the branches the platform at hand cannot (a SetupAPI without class-install
// parameters, or a real restart of the test machine's devices).
struct ClassInstallerCalls {
  decltype(&SetupDiSetClassInstallParamsA) setClassInstallParams = &SetupDiSetClassInstallParamsA;
  decltype(&SetupDiCallClassInstaller) callClassInstaller = &SetupDiCallClassInstaller;
};

// Installs SP_PROPCHANGE_PARAMS (DICS_FLAG_GLOBAL, profile 0) with
// `stateChange` on the device element and calls the class installer with
// DIF_PROPERTYCHANGE; logs `doneMessage` or the failure. Without a device
// element there is no device to change. The parameters stay installed.
void ChangeDeviceState(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, DWORD stateChange,
                       const char* doneMessage, const ClassInstallerCalls& calls);

}  // namespace coinstaller
