// ravtrace: shows what programs write to the debug-output channel, the only
// place the launcher, the uninstaller and the co-installer report their
// steps. `ravtrace --help` (trace_options.cpp) tells how to use it.
#include <windows.h>

#include <string>
#include <vector>

#include "common/wide_utf8.h"
#include "tools/tracer/ravtrace_main.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(rav::WideToUtf8(argv[i]));
  return static_cast<int>(tracer::RavTraceMain(arguments, rav::WideToUtf8(GetCommandLineW())));
}
