#pragma once
// The driver SetupAPI selected for the device, and its details.
#include <windows.h>
#include <setupapi.h>

namespace coinstaller {

// The detail record as the co-installer passes it: the fixed part only (808
// bytes on the 64-bit platform), so the hardware-ID list is cut.
inline constexpr DWORD kDriverDetailSize = 808;
static_assert(sizeof(SP_DRVINFO_DETAIL_DATA_A) == kDriverDetailSize);

// Fills `detail` with the selected driver's details and logs its description
// and INF file name. When the selected driver cannot be read, `detail` is left
// as the caller gave it.
void LogSelectedDriver(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, SP_DRVINFO_DETAIL_DATA_A& detail);

}  // namespace coinstaller
