#include "coinstaller/selected_driver.h"

#include <cstring>

#include "coinstaller/debug_print.h"

namespace coinstaller {
namespace {

// The record's first version, without driver date and version.
constexpr DWORD kDriverInfoSize = 784;
static_assert(sizeof(SP_DRVINFO_DATA_V1_A) == kDriverInfoSize);

// A fixed-size text field of the record, printed up to its end even when the
// platform left it unterminated.
template <std::size_t N>
void LogField(const CHAR (&field)[N]) {
  DebugPrint("%.*s", static_cast<int>(strnlen(field, N)), field);
}

}  // namespace

void LogSelectedDriver(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, SP_DRVINFO_DETAIL_DATA_A& detail) {
  SP_DRVINFO_DATA_A driver = {};
  driver.cbSize = kDriverInfoSize;
  if (!SetupDiGetSelectedDriverA(deviceInfoSet, deviceInfoData, &driver)) {
    const long error = LastErrorCode();
    DebugPrintFailure("Fail: SetupDiGetSelectedDriver, error: %ld", error);
    return;
  }
  detail.cbSize = kDriverDetailSize;
  DWORD required = 0;
  const BOOL read = SetupDiGetDriverInfoDetailA(deviceInfoSet, deviceInfoData, &driver, &detail, kDriverDetailSize,
                                                &required);
  // A short buffer still fills the fixed part; only the hardware IDs are cut.
  if (read || GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    LogField(detail.DrvDescription);
    LogField(detail.InfFileName);
  } else {
    DebugPrintFailure("Fail: SetupDiGetDriverInfoDetail");
  }
}

}  // namespace coinstaller
