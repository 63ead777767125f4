#include "coinstaller/debug_print.h"

#include <cstdarg>
#include <cstdio>

#include "common/debug_line.h"
#include "common/win_resources.h"

namespace coinstaller {

void DebugPrint(const char* format, ...) {
  // Callers log GetLastError() values; writing a line must not change them.
  rav::LastErrorKeeper keepLastError;
  char message[rav::kDebugMessageLimit + 1];
  message[0] = '\0';
  va_list args;
  va_start(args, format);
  if (vsnprintf(message, sizeof message, format, args) < 0) message[0] = '\0';
  va_end(args);
  OutputDebugStringA(rav::ComposeDebugLine(kDebugPrefix, message).c_str());
}

}  // namespace coinstaller
