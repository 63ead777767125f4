#pragma once
// The device installation's text log (setupapi.dev.log, Windows Vista and
// later): the platform writes it while it installs a device, in a section per
// installation, and a co-installer adds its own lines to that section. Its
// two calls exist only from Vista on: they are looked up at run time, and
// where they are missing (XP, Wine) nothing is written there.
#include <windows.h>

#include <string_view>

namespace coinstaller {

// The platform's log token (SP_LOG_TOKEN). MinGW-w64's setupapi.h declares
// none of the text-log types and constants: they are defined here with the
// values the platform documents.
using LogToken = DWORDLONG;
inline constexpr LogToken kLogTokenUnspecified = 0;    // LOGTOKEN_UNSPECIFIED: the thread has none
inline constexpr LogToken kLogTokenSetupApiDevLog = 3;  // LOGTOKEN_SETUPAPI_DEVLOG: setupapi.dev.log, no section
inline constexpr DWORD kTextLogVendor = 0x80000000;    // TXTLOG_VENDOR: a vendor-supplied installer's line
inline constexpr DWORD kTextLogError = 1;              // TXTLOG_ERROR
inline constexpr DWORD kTextLogDetails = 5;            // TXTLOG_DETAILS

// SetupGetThreadLogToken and SetupWriteTextLog. The writer takes a printf
// format (it is variadic, so the caller cleans the stack): text goes in as a
// "%s" argument, never as the format.
using GetThreadLogTokenCall = LogToken(WINAPI*)();
using WriteTextLogCall = void(__cdecl*)(LogToken token, DWORD category, DWORD flags, const char* format, ...);

// The two calls, both or neither. Tests hand in their own to see what the
// co-installer writes, which the platform at hand cannot show (Wine has no
// text log).
struct TextLogCalls {
  GetThreadLogTokenCall getThreadLogToken = nullptr;
  WriteTextLogCall writeTextLog = nullptr;

  bool present() const { return getThreadLogToken != nullptr && writeTextLog != nullptr; }
};

// The calls `setupapi` exports; a missing one stays null.
TextLogCalls FindTextLogCalls(HMODULE setupapi);

// The loaded setupapi.dll's calls, looked up once per load of the library.
const TextLogCalls& SystemTextLogCalls();

enum class LineKind {
  kDetails,  // a step: TXTLOG_DETAILS
  kFailure,  // a line that reports a failure: TXTLOG_ERROR
};

// One line into the installation's section (a thread without a log token
// writes into setupapi.dev.log outside any section, not into the
// applications' log). Nothing when the calls are missing.
void WriteTextLogLine(const TextLogCalls& calls, LineKind kind, const char* text);

}  // namespace coinstaller
