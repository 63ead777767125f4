#pragma once
#include <windows.h>

#include "common/win_resources.h"
#include "uninstaller/services/setup_status.h"

namespace ravuninst {

// Keeps the progress window alive and fed while the engine runs: serves the
// thread's messages, moves the bar with each progress line, drops the
// engine's error lines, and closes the window a second after both channels
// have ended (through its owner, which is then empty). Returns when the
// thread gets WM_QUIT or the wait fails.
void RunEngineWaitLoop(rav::UniqueWindow& progressWindow, SetupStatus& status);

}  // namespace ravuninst
