#pragma once
// ravtrace collect: one support bundle, a UTF-8 text file a customer can
// send, with what support needs to see of the adapter's software on the PC.
#include "tools/tracer/core/exit_code.h"
#include "tools/tracer/core/trace_options.h"

namespace tracer {

// kDone once the bundle is written (its path on standard error); kFailed
// when its file cannot be made or written.
ExitCode CollectBundle(const TraceOptions& options);

}  // namespace tracer
