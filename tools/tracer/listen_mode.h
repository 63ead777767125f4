#pragma once
// ravtrace listen and ravtrace stop: the system-wide listener and the way
// to stop it from another program.
#include <string>

#include "tools/tracer/trace_options.h"

namespace tracer {

// Listens until stopped: 0 then, 1 when it cannot listen.
int Listen(const TraceOptions& options);

// Sets the named stop event: 0 once set, 1 when there is no such event.
int SetStopEvent(const std::string& name);

}  // namespace tracer
