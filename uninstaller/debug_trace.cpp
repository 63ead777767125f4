#include "uninstaller/debug_trace.h"

#include <cstdarg>

#include "common/debug_output.h"

namespace ravuninst {

void DebugTrace(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  rav::OutputDebugTraceLine(format, args);
  va_end(args);
}

void DebugTraceText(const wchar_t* text) { rav::OutputDebugTraceText(text); }

}  // namespace ravuninst
