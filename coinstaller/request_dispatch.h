#pragma once
// One device-installation request, as SetupAPI hands it to the co-installer's
// export: logs its name and runs the handler the request has, if any.
#include <windows.h>
#include <setupapi.h>

namespace coinstaller {

// NO_ERROR or ERROR_DI_POSTPROCESSING_REQUIRED, nothing else. The set, the
// element and the context belong to SetupAPI; each may be null.
DWORD HandleInstallRequest(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                           PCOINSTALLER_CONTEXT_DATA context) noexcept;

}  // namespace coinstaller
