#pragma once
// The co-installer's diagnostic channel: one prefixed line per call, to
// OutputDebugStringA. Formats are the co-installer's own literals; outside
// text (registry values, INF text, driver descriptions, file names) only ever
// travels as a "%s" argument.
#include <windows.h>

#include <cstdio>
#include <string_view>

#include "common/core/result.h"

namespace coinstaller {

inline constexpr std::string_view kDebugPrefix = "*** RAVCOINST ***: ";

void DebugPrint(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));

// A Windows error code as failure lines print it ("%ld").
inline long ErrorCode(rav::WindowsError error) { return static_cast<long>(error); }

// The calling thread's last-error code, likewise. Take it right after the
// failing call, before anything else runs.
inline long LastErrorCode() { return ErrorCode(GetLastError()); }

}  // namespace coinstaller
