#include "coinstaller/property_change.h"

#include "coinstaller/debug_print.h"

namespace coinstaller {

static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20);
static_assert(sizeof(SP_CLASSINSTALL_HEADER) == 8);

void ChangeDeviceState(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, DWORD stateChange,
                       const char* doneMessage, const ClassInstallerCalls& calls) {
  SP_PROPCHANGE_PARAMS params = {};
  params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
  params.StateChange = stateChange;
  params.Scope = DICS_FLAG_GLOBAL;
  params.HwProfile = 0;

  // Parameters given without a device element would apply to the whole set.
  BOOL installed = FALSE;
  DWORD installError = ERROR_INVALID_PARAMETER;
  if (deviceInfoData != nullptr) {
    installed = calls.setClassInstallParams(deviceInfoSet, deviceInfoData, &params.ClassInstallHeader, sizeof params);
    if (!installed) installError = GetLastError();
  }
  if (!installed) {
    DebugPrintFailure("SetupDiSetClassInstallParams failed with error: %ld", ErrorCode(installError));
    return;
  }
  if (calls.callClassInstaller(DIF_PROPERTYCHANGE, deviceInfoSet, deviceInfoData)) {
    DebugPrint("%s", doneMessage);
  } else {
    const long error = LastErrorCode();
    DebugPrintFailure("SetupDiCallClassInstaller failed with error: %ld", error);
  }
}

}  // namespace coinstaller
