#include "coinstaller/debug_print.h"

#include <string>

#include "common/debug_output.h"

namespace coinstaller {

void WriteDebugLine(const TextLogCalls& textLog, LineKind kind, const char* format, va_list args) {
  // Callers log GetLastError() values; writing a line must not change them.
  rav::LastErrorKeeper keepLastError;
  std::string line = rav::ComposePrefixedDebugLine(kDebugPrefix, format, args);
  OutputDebugStringA(line.c_str());
  line.resize(line.size() - 2);  // the text log ends its entries itself: no CR LF
  WriteTextLogLine(textLog, kind, line.c_str());
}

void DebugPrint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteDebugLine(SystemTextLogCalls(), LineKind::kDetails, format, args);
  va_end(args);
}

void DebugPrintFailure(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteDebugLine(SystemTextLogCalls(), LineKind::kFailure, format, args);
  va_end(args);
}

}  // namespace coinstaller
