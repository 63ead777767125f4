#include "coinstaller/request_dispatch.h"

#include "coinstaller/debug_print.h"
#include "coinstaller/core/dif_table.h"
#include "coinstaller/install_device.h"
#include "coinstaller/remove_device.h"

namespace coinstaller {

static_assert(kDifInstallDevice == DIF_INSTALLDEVICE && kDifRemove == DIF_REMOVE &&
              kDifNewDeviceWizardFinishInstall == DIF_NEWDEVICEWIZARD_FINISHINSTALL);

DWORD HandleInstallRequest(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                           PCOINSTALLER_CONTEXT_DATA context) noexcept {
  // No failure of the co-installer's own, not even running out of memory,
  // is the platform's concern: it hears NO_ERROR, a request for the second
  // pass, or the failed installation's own result handed back.
  try {
    switch (HandlerFor(installFunction)) {
      case RequestHandler::InstallDevice:
        return OnInstallDevice(deviceInfoSet, deviceInfoData, context);
      case RequestHandler::RemoveDevice:
        return OnRemoveDevice(deviceInfoSet, deviceInfoData);
      case RequestHandler::FinishInstall:
        return OnFinishInstall(deviceInfoSet, deviceInfoData);
      case RequestHandler::LogOnly:
        break;
    }
    DebugPrint("%s", DifName(installFunction));
  } catch (...) {
  }
  return NO_ERROR;
}

}  // namespace coinstaller
