// ravcoinst.dll: the adapter's device co-installer. SetupAPI loads it and
// calls RAVWlanCoInstall for every device-installation request.
#include <windows.h>
#include <setupapi.h>

#include "coinstaller/request_dispatch.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" DWORD CALLBACK RAVWlanCoInstall(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                                           PSP_DEVINFO_DATA deviceInfoData, PCOINSTALLER_CONTEXT_DATA context) {
  return coinstaller::HandleInstallRequest(installFunction, deviceInfoSet, deviceInfoData, context);
}
