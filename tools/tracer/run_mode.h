#pragma once
// ravtrace run: starts a program as its debugger and prints what it (and,
// with --children, the programs it starts) writes until it ends.
#include "tools/tracer/core/exit_code.h"
#include "tools/tracer/core/trace_options.h"

namespace tracer {

// The program's exit code; kFailed when it cannot be started or the output
// file cannot be opened.
ExitCode RunTraced(const TraceOptions& options);

}  // namespace tracer
