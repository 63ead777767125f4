#include "uninstaller/product_removal.h"

#include <windows.h>

#include <algorithm>

#include "common/core/ascii_case.h"
#include "common/process_start.h"
#include "common/wide_text.h"
#include "common/win_resources.h"
#include "uninstaller/debug_trace.h"
#include "uninstaller/uninstall_location.h"
#include "uninstaller/core/upgrade_string.h"

namespace ravuninst {
namespace {

}  // namespace

ExitCode RemoveInstalledProducts() {
  if (rav::EqualIgnoringAsciiCase(TheUninstallLocation().rootKey, kApplicationRootKey)) {
    GSMURunRemoveProgram(kApplicationEntry);
  }
  return GSMURunRemoveProgram(kAdapterEntry);
}

ExitCode GSMURunRemoveProgram(const wchar_t* entryName) {
  std::u16string commandLine;
  {
    rav::UniqueHkey list;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kUninstallListKey, list.put()) != ERROR_SUCCESS) {
      DebugTrace(L"GSMURunRemoveProgram: Unable to open global uninstall key");
      return ExitCode::kProductNotRemoved;
    }
    rav::UniqueHkey entry;
    if (RegOpenKeyW(list.get(), entryName, entry.put()) != ERROR_SUCCESS) {
      DebugTrace(L"GSMURunRemoveProgram: Unable to open uninstall key");
      return ExitCode::kProductNotRemoved;
    }
    char16_t value[kUpgradeStringBytes / sizeof(char16_t)] = {};
    DWORD size = sizeof value;
    if (RegQueryValueExW(entry.get(), L"UpgradeString", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS) {
      return ExitCode::kProductNotRemoved;
    }
    commandLine = CommandFromValueData(value, std::min<DWORD>(size, sizeof value));
  }

  DebugTraceText(rav::as_wcstr(commandLine));
  rav::ProcessStartW start;
  start.commandLine = rav::as_wcstr(commandLine);
  start.creationFlags = CREATE_NO_WINDOW;
  start.ownStartupInfo = true;
  const rav::StartedProcess started = rav::StartProcessW(start);
  if (!started.ok()) {
    DebugTrace(L"GSMURunRemoveProgram: Unable to run uninstall process");
    return ExitCode::kProductNotRemoved;
  }
  if (started->Wait(INFINITE) != WAIT_OBJECT_0) return ExitCode::kProductNotRemoved;
  return ExitCode::kDone;
}

}  // namespace ravuninst
