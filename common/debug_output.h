#pragma once
// How a deliverable's DebugPrint writes one line: formats the caller's text
// (at most 4,092 characters), composes it with the deliverable's prefix and
// hands it to OutputDebugStringA, leaving the caller's last error as it was.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "common/debug_line.h"
#include "common/win_resources.h"

namespace rav {

__attribute__((format(__MINGW_PRINTF_FORMAT, 2, 0))) inline void OutputDebugLine(std::string_view prefix,
                                                                                  const char* format,
                                                                                  va_list args) {
  // Callers log GetLastError() values; writing a line must not change them.
  LastErrorKeeper keepLastError;
  char message[kDebugMessageLimit + 1];
  if (vsnprintf(message, sizeof message, format, args) < 0) message[0] = '\0';
  OutputDebugStringA(ComposeDebugLine(prefix, message).c_str());
}

}  // namespace rav
