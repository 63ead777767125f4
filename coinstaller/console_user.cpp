#include "coinstaller/console_user.h"

#include <windows.h>
#include <wtsapi32.h>

#include <optional>

#include "coinstaller/core/account_names.h"
#include "coinstaller/debug_print.h"
#include "common/win_resources.h"

namespace coinstaller {
namespace {

using ActiveConsoleSessionFn = DWORD(WINAPI*)();
using QuerySessionInformationFn = BOOL(WINAPI*)(HANDLE, DWORD, WTS_INFO_CLASS, LPSTR*, DWORD*);
using FreeMemoryFn = void(WINAPI*)(PVOID);

template <typename Function>
Function LookUp(HMODULE module, const char* name) {
  // Through a plain function type: FARPROC is only a placeholder type.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Written to the host's standard output, not to the debug channel.
void ReportLoadedLibraries() {
  static constexpr char kText[] = "GetCurrentUser(): successfully loaded libraries\n";
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  rav::LastErrorKeeper keep;
  DWORD written = 0;
  WriteFile(output, kText, sizeof kText - 1, &written, nullptr);
}

// A session text, or empty where the query gave none.
const char* Text(const rav::UniqueWtsText& text) { return text ? text.get() : ""; }

}  // namespace

bool GetCurrentUser(std::string& name) {
  DebugPrint("Entering... GetCurrentUser()");
  // Declared first, released last: the session texts are freed through wtsapi32.
  const rav::UniqueLibrary wtsapi(LoadLibraryA("wtsapi32.dll"));
  const rav::UniqueLibrary kernel(LoadLibraryA("kernel32.dll"));
  // A library without the call it is loaded for counts as not loaded.
  ActiveConsoleSessionFn activeConsoleSession = nullptr;
  QuerySessionInformationFn querySession = nullptr;
  FreeMemoryFn freeMemory = nullptr;
  if (wtsapi && kernel) {
    activeConsoleSession = LookUp<ActiveConsoleSessionFn>(kernel.get(), "WTSGetActiveConsoleSessionId");
    querySession = LookUp<QuerySessionInformationFn>(wtsapi.get(), "WTSQuerySessionInformationA");
    freeMemory = LookUp<FreeMemoryFn>(wtsapi.get(), "WTSFreeMemory");
  }
  if (activeConsoleSession == nullptr || querySession == nullptr || freeMemory == nullptr) {
    DebugPrintFailure("GetCurrentUser(): Unable to load libraries");
    DebugPrint("Leaving... GetCurrentUser()");
    return false;
  }
  ReportLoadedLibraries();

  const DWORD session = activeConsoleSession();
  rav::UniqueWtsText user;
  rav::UniqueWtsText domain;
  DWORD bytes = 0;
  if (!querySession(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName, user.put(), &bytes)) {
    const long error = LastErrorCode();
    DebugPrintFailure("Failed to get the Current User Name. [err=%ld]", error);
  } else if (!querySession(WTS_CURRENT_SERVER_HANDLE, session, WTSDomainName, domain.put(), &bytes)) {
    const long error = LastErrorCode();
    DebugPrintFailure("Failed to get the Domain Name. [err=%ld]", error);
  } else if (const std::optional<std::string> qualified = QualifiedAccountName(Text(domain), Text(user))) {
    name = *qualified;
  }
  DebugPrint("WTSQuerySessionInformation returned \"%s\"", name.c_str());
  DebugPrint("Leaving... GetCurrentUser()");
  return true;
}

}  // namespace coinstaller
