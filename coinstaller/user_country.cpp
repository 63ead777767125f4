#include "coinstaller/user_country.h"

#include <optional>
#include <string>

#include "coinstaller/debug_print.h"
#include "coinstaller/user_location.h"

namespace coinstaller {

void SetUserCountry(HKEY driverKey) {
  const std::optional<std::string> code = GetUserLocation();
  if (!code) return;
  DebugPrint("User Location: %s", code->c_str());
  // Without a nation the code is empty; writing it would only replace the
  // country the driver's own settings give.
  if (code->empty()) return;
  // The data is the code's characters without a terminating NUL.
  const LONG status = RegSetValueExA(driverKey, "Country", 0, REG_SZ, reinterpret_cast<const BYTE*>(code->data()),
                                     static_cast<DWORD>(code->size()));
  if (status != ERROR_SUCCESS) {
    DebugPrintFailure("Failed to set 'Country' in driver advanced properties. [err=%ld]",
                      ErrorCode(static_cast<DWORD>(status)));
  }
}

}  // namespace coinstaller
