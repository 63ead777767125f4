#include "uninstaller/ravuninst_main.h"

#include <string>

#include "common/wide_text.h"
#include "uninstaller/command_line.h"
#include "uninstaller/debug_trace.h"
#include "uninstaller/product_removal.h"
#include "uninstaller/uninstall_location.h"
#include "uninstaller/uninstall_run.h"

namespace ravuninst {
namespace {

constexpr int kNoMode = 4;

void Trace(std::u16string_view text) { DebugTraceText(rav::as_wcstr(std::u16string(text))); }

int RunMode(const ModeEntry& entry, HINSTANCE instance) {
  switch (entry.mode) {
    case Mode::kVerbose:
      return RunUninstall(instance);
    case Mode::kServices:
      return RemoveInstalledProducts();
    default:
      return 0;  // the other modes only leave their trace line
  }
}

}  // namespace

int RavUninstMain(HINSTANCE instance) {
  const std::u16string commandLine(rav::as_u16cstr(GetCommandLineW()));
  DebugTraceText(rav::as_wcstr(commandLine));
  ApplyRootOptions(commandLine);
  if (HasDriverKeyword(commandLine)) {
    DebugTrace(L"WinMain: Driver");
    driverMode = true;
  }
  int exitCode;
  if (const ModeEntry* entry = SelectMode(commandLine)) {
    Trace(entry->trace);
    exitCode = RunMode(*entry, instance);
  } else {
    Trace(kNoModeTrace);
    exitCode = kNoMode;
  }
  DebugTrace(L"WinMain: End");
  return exitCode;
}

}  // namespace ravuninst
