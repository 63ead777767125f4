#pragma once
// ravtrace as a whole, for its entry point: the arguments after the
// program's name and the whole command line, as UTF-8.
#include <string>
#include <string_view>
#include <vector>

#include "tools/tracer/core/exit_code.h"

namespace tracer {

ExitCode RavTraceMain(const std::vector<std::string>& arguments, std::string_view commandLine);

}  // namespace tracer
