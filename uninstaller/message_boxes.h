#pragma once
// The texts the uninstaller shows and the message boxes that show them.
#include <cstdint>
#include <string>

#include "common/win_resources.h"
#include "uninstaller/system_restart.h"

namespace ravuninst {

// Text `number` with "%OEM_UTIL_NAME%" replaced by the product name (7303
// in driver mode, 7301 otherwise), or none. Without a product name the text
// comes back with the token in.
rav::UniqueMallocText LoadMessageText(std::uint16_t number);

// Asks whether to go on: true only for OK. False without a box when a
// text is missing.
bool ConfirmRemoval();

// "<4013>: <errorFile> <errorLine>." under caption 4012.
void ShowRemovalError(const std::u16string& errorFile, std::int32_t errorLine);

// "<4013>: <exit code>." under caption 4012, for an engine that ended with
// an error exit code and sent no Result line.
void ShowExitCodeError(std::int32_t exitCode);

// "<4013>: 0x<status>." under caption 4012, for an engine that crashed.
void ShowCrashError(std::uint32_t status);

// Asks to restart; only on OK to a box that showed the question (text
// 4014) enables the shutdown privilege and restarts through `calls`. No
// text, or no box: a trace line and no restart.
void PromptRestart(const SystemRestartCalls& calls = SystemRestartCalls());

}  // namespace ravuninst
