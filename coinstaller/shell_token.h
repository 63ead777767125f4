#pragma once
// The console user's desktop shell process and its security token: the
// process whose executable is the Winlogon "Shell" program and whose owner is
// the user.
#include <windows.h>

#include <string>

#include "common/win_resources.h"

namespace coinstaller {

inline constexpr char kWinlogonKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// A token (TOKEN_DUPLICATE | TOKEN_QUERY) of the first process, in snapshot
// order, that runs the shell program and belongs to `userName` (names compare
// without regard to ASCII case); invalid when there is none. The Winlogon key
// below HKEY_LOCAL_MACHINE is a parameter only so that tests need not rewrite
// the machine's own shell setting.
rav::UniqueHandle GetUserShellToken(const std::string& userName, const char* winlogonKey = kWinlogonKey);

// Sets `owner` to "DOMAIN\account" of the token's user when the account can
// be looked up. False when the token's user cannot be read.
bool GetProcessUser(HANDLE token, std::string& owner);

}  // namespace coinstaller
