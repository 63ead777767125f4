#pragma once
// Services mode: runs the removal commands that the installed products keep
// in the system's list of installed programs, one after the other.
#include <string>

#include "uninstaller/core/exit_code.h"

namespace ravuninst {

inline constexpr wchar_t kUninstallListKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr wchar_t kApplicationEntry[] = L"Corvane 802.11 Application";
inline constexpr wchar_t kAdapterEntry[] = L"Corvane 802.11b Network Adapter";
inline constexpr char16_t kApplicationRootKey[] = u"SOFTWARE\\Corvane\\802.11_App\\UninstallInfo";

// The application's entry first when the root key names its key (letter
// case aside), then the adapter's. The adapter's result.
ExitCode RemoveInstalledProducts();

// Runs the entry's "UpgradeString" without a window and waits for it.
// kDone when it was found, started and has ended; kProductNotRemoved
// otherwise.
ExitCode GSMURunRemoveProgram(const wchar_t* entryName);

}  // namespace ravuninst
