#pragma once
// ravtrace listen and ravtrace stop: the system-wide listener and the way
// to stop it from another program.
#include <string>

#include "tools/tracer/core/exit_code.h"
#include "tools/tracer/core/trace_options.h"

namespace tracer {

// Listens until stopped: kDone then, kFailed when it cannot listen.
ExitCode Listen(const TraceOptions& options);

// Sets the named stop event: kDone once set, kFailed when there is no such event.
ExitCode SetStopEvent(const std::string& name);

}  // namespace tracer
