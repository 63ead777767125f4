#include "launcher/debug_print.h"

#include <windows.h>

#include <cstdarg>

#include "common/win_resources.h"
#include "common/debug_line.h"
#include "launcher/debug_prefix.h"

namespace launcher {

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

}  // namespace launcher
