#include "tools/tracer/run_mode.h"

#include <windows.h>

#include <chrono>
#include <cstdio>

#include "common/child_handles.h"
#include "common/debug_loop.h"
#include "common/process_start.h"
#include "common/wide_utf8.h"
#include "tools/tracer/process_names.h"
#include "tools/tracer/trace_output.h"

namespace tracer {
namespace {

// An inheritable copy of one of ravtrace's standard handles, so that the
// program writes where ravtrace's own output goes (not every system passes
// a pipe or file on by itself); the handle itself when it cannot be copied.
HANDLE InheritableStandardHandle(DWORD which, rav::UniqueHandle& copy) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return handle;
  copy = rav::InheritableCopy(handle);
  return copy ? copy.get() : handle;
}

}  // namespace

ExitCode RunTraced(const TraceOptions& options) {
  TracePrinter printer(options.filter);
  if (!printer.OpenOutput(options.output)) return ExitCode::kFailed;
  rav::UniqueHandle input;
  rav::UniqueHandle output;
  rav::UniqueHandle error;
  rav::ProcessStartW start;
  start.commandLine = rav::Utf8ToWide(options.commandLine);
  start.creationFlags = options.children ? DEBUG_PROCESS : DEBUG_ONLY_THIS_PROCESS;
  start.inheritHandles = true;
  start.standardHandles = rav::StandardHandles{InheritableStandardHandle(STD_INPUT_HANDLE, input),
                                               InheritableStandardHandle(STD_OUTPUT_HANDLE, output),
                                               InheritableStandardHandle(STD_ERROR_HANDLE, error)};
  const rav::StartedProcess started = rav::StartProcessW(start);
  if (!started.ok()) {
    Report(WithErrorCode("cannot start " + options.commandLine, started.error()));
    return ExitCode::kFailed;
  }
  // Only the program holds the copies now.
  input.reset();
  output.reset();
  error.reset();

  ProcessNames names;
  const std::chrono::milliseconds timeout =
      options.timeoutSeconds == 0 ? std::chrono::milliseconds::max()
                                  : std::chrono::milliseconds(options.timeoutSeconds * 1000);
  const rav::DebugLoopResult loop = rav::ServeDebugEvents(
      started->process(), timeout,
      [&printer, &names](const rav::DebugString& s) { printer.Print(s.processId, names.NameOf(s.processId), s.text); },
      [&names](DWORD processId, const std::wstring& image) { names.Remember(processId, image); });

  DWORD exitCode = 0;
  started->ExitCode(exitCode);
  if (loop.timedOut) {
    Report(options.commandLine + " was ended after " + std::to_string(options.timeoutSeconds) + " s");
  }
  // Exit codes wider than 8 bits do not survive every shell; say it in full.
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lx", static_cast<unsigned long>(exitCode));
  Report("exit code " + std::to_string(exitCode) + " (" + hex + ")");
  return PassedOn(exitCode);
}

}  // namespace tracer
