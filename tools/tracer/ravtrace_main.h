#pragma once
// ravtrace as a whole, for its entry point: the arguments after the
// program's name, as UTF-8; returns the exit code.
#include <string>
#include <vector>

namespace tracer {

int RavTraceMain(const std::vector<std::string>& arguments);

}  // namespace tracer
