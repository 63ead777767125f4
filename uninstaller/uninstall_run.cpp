#include "uninstaller/uninstall_run.h"

#include <commctrl.h>

#include <string>

#include "common/wide_text.h"
#include "common/win_resources.h"
#include "uninstaller/debug_trace.h"
#include "uninstaller/core/engine_command.h"
#include "uninstaller/engine_wait_loop.h"
#include "uninstaller/message_boxes.h"
#include "uninstaller/progress_dialog.h"
#include "uninstaller/uninstall_location.h"
#include "uninstaller/services/core/join_path.h"
#include "uninstaller/services/core/engine_outcome.h"
#include "uninstaller/services/platform_probes.h"
#include "uninstaller/services/setup_status.h"

namespace ravuninst {
namespace {

// Shows the not-administrator warning; false when its texts are missing.
bool WarnNotAdministrator() {
  const rav::UniqueMallocText text = LoadMessageText(4003);
  const rav::UniqueMallocText caption = LoadMessageText(4012);
  const bool shown = text && caption;
  if (shown) MessageBoxW(nullptr, text.get(), caption.get(), MB_OK | MB_ICONWARNING);
  return shown;
}

// "<temporary directory>\ravwl.log", or empty (no log) when the system
// cannot name a temporary directory that fits.
std::u16string LogFilePath() {
  wchar_t temp[MAX_PATH] = {};
  const DWORD length = GetTempPathW(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) {
    DebugTrace(L"RunUninstall: no temporary directory, the engine's errors are not logged");
    return {};
  }
  std::u16string path(rav::as_u16cstr(temp), length);
  // Opening it decides whether it may be written (LogOpen): a link there
  // is not followed.
  JoinPath(path, u"ravwl.log");
  return path;
}

}  // namespace

ExitCode RunUninstall(HINSTANCE instance, const SystemRestartCalls& calls) {
  SetupStatus status;
  InitCommonControls();

  if (!IsUserAdmin()) return WarnNotAdministrator() ? ExitCode::kNotAdministrator : ExitCode::kNotAdministratorNoTexts;
  if (!ConfirmRemoval()) return ExitCode::kDone;

  // The wait loop destroys the window once the engine is done; on the ways
  // out before or without that, the owner does.
  rav::UniqueWindow window(
      CreateDialogParamW(instance, MAKEINTRESOURCEW(kProgressDialogId), nullptr, ProgressDialogProc, 0));
  if (!window) return ExitCode::kDone;
  SendMessageW(window.get(), UM_SETTITLE, 0, 4002);
  ShowWindow(window.get(), SW_SHOWNORMAL);

  const std::u16string commandLine = EngineCommandLine(TheUninstallLocation().rootDir, IsWow64(), driverMode);
  if (SetupStatusRun(status, commandLine, LogFilePath()) != EngineStart::kStarted) return ExitCode::kEngineNotStarted;

  RunEngineWaitLoop(window, status);

  std::int32_t result = 0;
  std::u16string errorFile;
  std::int32_t errorLine = 0;
  SetupStatusResult(status, result, errorFile, errorLine);
  switch (ActionForEngineEnd(status.resultSeen(), result, status.exitCode())) {
    case EngineEndAction::kShowCrash:
      ShowCrashError(status.exitCode());
      return EngineExitCode(result);
    case EngineEndAction::kShowResultError:
      ShowRemovalError(errorFile, errorLine);
      return EngineExitCode(result);
    case EngineEndAction::kShowExitCodeError:
      ShowExitCodeError(result);
      return EngineExitCode(result);
    case EngineEndAction::kOfferRestart:
      PromptRestart(calls);
      break;
    case EngineEndAction::kDone:
      break;
  }
  return ExitCode::kDone;
}

}  // namespace ravuninst
