#pragma once
// The launcher's diagnostic channel: one prefixed line per call, to
// OutputDebugStringA. Formats are the launcher's own literals; outside text
// only ever travels as an argument.
#include <cstdio>

namespace launcher {

void DebugPrint(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));

}  // namespace launcher
