#include "uninstaller/debug_trace.h"

#include <windows.h>

#include <cstdarg>
#include <string>

#include "common/win_resources.h"

namespace ravuninst {

void DebugTrace(const wchar_t* format, ...) {
  rav::LastErrorKeeper keepLastError;
  wchar_t line[4096 + 2];
  va_list args;
  va_start(args, format);
  // wvsprintfW writes at most 1,024 characters, terminator included.
  const int length = wvsprintfW(line, format, args);
  va_end(args);
  lstrcpyW(line + (length > 0 ? length : 0), L"\n");
  OutputDebugStringW(line);
}

void DebugTraceText(const wchar_t* text) {
  rav::LastErrorKeeper keepLastError;
  OutputDebugStringW((std::wstring(text) + L"\n").c_str());
}

}  // namespace ravuninst
