#pragma once
// The interactive user's location as a two-letter country code. The host
// (the platform's device-installation process) need not run as the person at
// the console, so on version 6 and later the location is read while
// impersonating the console user's shell process.
#include <windows.h>

#include <optional>
#include <string>

#include "coinstaller/shell_token.h"
#include "common/win_resources.h"

namespace coinstaller {

// The code; empty when the user has no nation; nothing when the locale or the
// GeoID cannot be read. The calling thread runs under its own account again
// when this returns.
std::optional<std::string> GetUserLocation(const char* winlogonKey = kWinlogonKey);

// An impersonation token of the console user, taken from the user's shell
// process; invalid when there is none.
rav::UniqueHandle GetUserToken(const char* winlogonKey = kWinlogonKey);

}  // namespace coinstaller
