#include "uninstaller/services/core/engine_outcome.h"

namespace ravuninst {

bool IsCrashStatus(std::uint32_t exitCode) { return exitCode >= 0x80000000u && exitCode <= 0xEFFFFFFFu; }

EngineEndAction ActionForEngineEnd(bool resultSeen, std::int32_t result, std::uint32_t exitCode) {
  // A crashed engine removed who knows what: an error, whatever its status
  // reads as a number.
  if (!resultSeen && IsCrashStatus(exitCode)) return EngineEndAction::kShowCrash;
  if (result >= kFirstErrorResult) {
    // Without a Result line there is no error file or line to show: the box
    // names the exit code instead of an empty file and line 0.
    return resultSeen ? EngineEndAction::kShowResultError : EngineEndAction::kShowExitCodeError;
  }
  if (result == kRestartResult) return EngineEndAction::kOfferRestart;
  return EngineEndAction::kDone;
}

}  // namespace ravuninst
