#include "launcher/debug_print.h"

#include <cstdarg>

#include "common/debug_output.h"
#include "launcher/core/debug_prefix.h"

namespace launcher {

void DebugPrint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  rav::OutputDebugLine(kDebugPrefix, format, args);
  va_end(args);
}

}  // namespace launcher
