#include "coinstaller/debug_print.h"

#include <cstdarg>

#include "common/debug_output.h"

namespace coinstaller {

void DebugPrint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  rav::OutputDebugLine(kDebugPrefix, format, args);
  va_end(args);
}

}  // namespace coinstaller
