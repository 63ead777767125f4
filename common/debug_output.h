#pragma once
// How a deliverable's DebugPrint or DebugTrace writes one line: formats the
// caller's text with the system's formatter, composes the line in the
// deliverable's style (common/debug_line.h) and hands it to the debugger
// channel, leaving the caller's last error as it was.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

#include "common/core/debug_line.h"
#include "common/wide_text.h"
#include "common/win_resources.h"

namespace rav {

// The launcher's and the co-installer's lines (at most 4,092 characters of
// text), composed with their prefix and CR LF. Formatted by the system C
// library (msvcrt's _vsnprintf): the programs' formats need nothing more,
// and MinGW's own printf would add a quarter to the launcher's size.
__attribute__((format(ms_printf, 2, 0))) inline std::string ComposePrefixedDebugLine(std::string_view prefix,
                                                                                     const char* format,
                                                                                     va_list args) {
  char message[kDebugMessageLimit + 1];
  message[0] = '\0';
  // A longer text is cut. Some C libraries then answer -1 and leave the
  // buffer unterminated, others the length the text needed: end it either way.
  const int written = _vsnprintf(message, sizeof message, format, args);
  if (written < 0 || static_cast<std::size_t>(written) >= sizeof message) message[sizeof message - 1] = '\0';
  return ComposeDebugLine(PrefixedDebugLines(prefix), message);
}

// The same line, to OutputDebugStringA.
__attribute__((format(ms_printf, 2, 0))) inline void OutputDebugLine(std::string_view prefix,
                                                                                  const char* format,
                                                                                  va_list args) {
  // Callers log GetLastError() values; writing a line must not change them.
  LastErrorKeeper keepLastError;
  OutputDebugStringA(ComposePrefixedDebugLine(prefix, format, args).c_str());
}

// The uninstaller's trace lines, to OutputDebugStringW. Formatted by
// wvsprintfW (%s is a wide string), which writes at most 1,024 characters.
inline void OutputDebugTraceLine(const wchar_t* format, va_list args) {
  LastErrorKeeper keepLastError;
  wchar_t message[4096];
  const int length = wvsprintfW(message, format, args);
  const std::u16string_view text(as_u16cstr(message), length > 0 ? static_cast<std::size_t>(length) : 0);
  OutputDebugStringW(as_wcstr(ComposeDebugLine(kTraceLines, text)));
}

// Outside text as one trace line, exactly as it is: never read as a format.
inline void OutputDebugTraceText(const wchar_t* text) {
  LastErrorKeeper keepLastError;
  OutputDebugStringW(as_wcstr(ComposeDebugLine(kTraceLines, as_u16cstr(text))));
}

}  // namespace rav
