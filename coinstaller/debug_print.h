#pragma once
// The co-installer's diagnostic channel: one prefixed line per call, to
// OutputDebugStringA, and the same line (without its CR LF) into the device
// installation's text log where the platform has one (text_log.h). Formats
// are the co-installer's own literals; outside text (registry values, INF
// text, driver descriptions, file names) only ever travels as a "%s"
// argument.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "coinstaller/text_log.h"
#include "common/core/result.h"

namespace coinstaller {

inline constexpr std::string_view kDebugPrefix = "*** RAVCOINST ***: ";

// A step: TXTLOG_DETAILS in the text log.
void DebugPrint(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));
// A line that reports a failure: TXTLOG_ERROR in the text log.
void DebugPrintFailure(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));

// What both write, through the text-log calls given: the system's
// (SystemTextLogCalls) for DebugPrint and DebugPrintFailure, a test's own
// otherwise.
void WriteDebugLine(const TextLogCalls& textLog, LineKind kind, const char* format, va_list args)
    __attribute__((format(ms_printf, 3, 0)));

// A Windows error code as failure lines print it ("%ld").
inline long ErrorCode(rav::WindowsError error) { return static_cast<long>(error); }

// The calling thread's last-error code, likewise. Take it right after the
// failing call, before anything else runs.
inline long LastErrorCode() { return ErrorCode(GetLastError()); }

}  // namespace coinstaller
