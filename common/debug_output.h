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

// Formatted by the system C library (msvcrt's _vsnprintf): the programs'
// formats need nothing more, and MinGW's own printf would add a quarter to
// the launcher's size.
__attribute__((format(ms_printf, 2, 0))) inline void OutputDebugLine(std::string_view prefix,
                                                                                  const char* format,
                                                                                  va_list args) {
  // Callers log GetLastError() values; writing a line must not change them.
  LastErrorKeeper keepLastError;
  char message[kDebugMessageLimit + 1];
  message[0] = '\0';
  // A longer text is cut. Some C libraries then answer -1 and leave the
  // buffer unterminated, others the length the text needed: end it either way.
  const int written = _vsnprintf(message, sizeof message, format, args);
  if (written < 0 || static_cast<std::size_t>(written) >= sizeof message) message[sizeof message - 1] = '\0';
  OutputDebugStringA(ComposeDebugLine(prefix, message).c_str());
}

}  // namespace rav
