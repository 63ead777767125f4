#include "coinstaller/install_device.h"

#include "coinstaller/debug_print.h"
#include "coinstaller/driver_registry.h"
#include "coinstaller/inf_backup.h"
#include "coinstaller/os_version.h"
#include "coinstaller/row_card.h"
#include "coinstaller/selected_driver.h"
#include "common/setupapi_resources.h"
#include "coinstaller/user_country.h"
#include "coinstaller/windows_directory.h"

namespace coinstaller {
namespace {

void AfterDriverInstalled(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData) {
  DebugPrint("DIF_INSTALLDEVICE PostProcessing");
  // Zeroed: when the driver's details cannot be read the INF name is empty,
  // and the INF then fails to open like any other.
  SP_DRVINFO_DETAIL_DATA_A detail = {};
  LogSelectedDriver(deviceInfoSet, deviceInfoData, detail);

  const rav::UniqueHinf inf(SetupOpenInfFileA(detail.InfFileName, nullptr, INF_STYLE_WIN4, nullptr));
  if (!inf) {
    const long error = LastErrorCode();
    DebugPrintFailure("Fail: SetupOpenInfFile, error: %ld", error);
  }
  const rav::Result<rav::UniqueHkey> driverKey = OpenDriverKey(deviceInfoSet, deviceInfoData);
  if (!driverKey) {
    DebugPrintFailure("Failed to open driver registry. [err=%ld]", ErrorCode(driverKey.error()));
    return;
  }
  if (IsROWCard(driverKey->get(), inf.get())) SetUserCountry(driverKey->get());
  BackUpInfFile(driverKey->get(), WindowsDirectory::Read());
}

}  // namespace

DWORD OnInstallDevice(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, PCOINSTALLER_CONTEXT_DATA context) {
  DebugPrint("DIF_INSTALLDEVICE");
  if (context == nullptr) return NO_ERROR;
  if (!context->PostProcessing) {
    if (IsWin2000()) {
      DebugPrint("No post-processing required.");
      return NO_ERROR;
    }
    DebugPrint("Post-processing is required.");
    return ERROR_DI_POSTPROCESSING_REQUIRED;
  }
  if (context->InstallResult != NO_ERROR) {
    // The class installer or an earlier co-installer failed: no country, no
    // backup of an INF that may not be installed, and the failure goes on
    // to SetupAPI instead of a success.
    DebugPrintFailure("DIF_INSTALLDEVICE PostProcessing skipped: the installation failed, error: %ld",
                      ErrorCode(context->InstallResult));
    return context->InstallResult;
  }
  AfterDriverInstalled(deviceInfoSet, deviceInfoData);
  return NO_ERROR;
}

DWORD OnFinishInstall(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, const ClassInstallerCalls& calls) {
  DebugPrint("DIF_NEWDEVICEWIZARD_FINISHINSTALL");
  ChangeDeviceState(deviceInfoSet, deviceInfoData, DICS_PROPCHANGE, "Restarted the device", calls);
  return NO_ERROR;
}

}  // namespace coinstaller
