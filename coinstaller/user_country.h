#pragma once
// The adapter's "Country" setting (one of the driver's advanced properties),
// taken from the interactive user's location.
#include <windows.h>

namespace coinstaller {

void SetUserCountry(HKEY driverKey);

}  // namespace coinstaller
