#include "uninstaller/ravuninst_main.h"

#include <string>

#include "common/wide_text.h"
#include "uninstaller/core/command_line.h"
#include "uninstaller/debug_trace.h"
#include "uninstaller/product_removal.h"
#include "uninstaller/uninstall_location.h"
#include "uninstaller/uninstall_run.h"

namespace ravuninst {
namespace {

void Trace(std::u16string_view text) { DebugTraceText(rav::as_wcstr(std::u16string(text))); }

ExitCode RunMode(const ModeEntry& entry, HINSTANCE instance, const SystemRestartCalls& calls) {
  switch (entry.mode) {
    case Mode::kVerbose:
      return RunUninstall(instance, calls);
    case Mode::kServices:
      return RemoveInstalledProducts();
    default:
      return ExitCode::kDone;  // the other modes only leave their trace line
  }
}

}  // namespace

ExitCode RavUninstMain(HINSTANCE instance, const SystemRestartCalls& calls) {
  const std::u16string commandLine(rav::as_u16cstr(GetCommandLineW()));
  DebugTraceText(rav::as_wcstr(commandLine));
  ApplyRootOptions(commandLine);
  if (HasDriverKeyword(commandLine)) {
    DebugTrace(L"WinMain: Driver");
    driverMode = true;
  }
  ExitCode exitCode;
  if (const ModeEntry* entry = SelectMode(commandLine)) {
    Trace(entry->trace);
    exitCode = RunMode(*entry, instance, calls);
  } else {
    Trace(kNoModeTrace);
    exitCode = ExitCode::kNoMode;
  }
  DebugTrace(L"WinMain: End");
  return exitCode;
}

}  // namespace ravuninst
