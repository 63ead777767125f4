#include "tools/tracer/ravtrace_main.h"

#include <windows.h>

#include "tools/tracer/collect_mode.h"
#include "tools/tracer/listen_mode.h"
#include "tools/tracer/run_mode.h"
#include "tools/tracer/core/trace_line.h"
#include "tools/tracer/core/trace_options.h"
#include "tools/tracer/trace_output.h"

namespace tracer {

ExitCode RavTraceMain(const std::vector<std::string>& arguments, std::string_view commandLine) {
  const ParsedArguments parsed = ParseTraceArguments(arguments);
  if (!parsed.ok) {
    Report(parsed.error);
    WriteText(GetStdHandle(STD_ERROR_HANDLE), "\r\n" + WithCrLf(UsageText()));
    return ExitCode::kWrongCommandLine;
  }
  TraceOptions options = parsed.options;
  if (options.mode == TraceMode::kRun) options.commandLine = ProgramCommandLine(commandLine, parsed, arguments.size());
  switch (options.mode) {
    case TraceMode::kHelp:
      WriteText(GetStdHandle(STD_OUTPUT_HANDLE), WithCrLf(UsageText()));
      return ExitCode::kDone;
    case TraceMode::kRun:
      return RunTraced(options);
    case TraceMode::kListen:
      return Listen(options);
    case TraceMode::kStop:
      return SetStopEvent(options.eventName);
    case TraceMode::kCollect:
      return CollectBundle(options);
  }
  return ExitCode::kWrongCommandLine;
}

}  // namespace tracer
