#pragma once
// What the setup engine's end and its result mean.
#include <cstdint>

namespace ravuninst {

// The engine's result: 100 and above is an error shown to the user, 1 asks
// for a restart, anything else is success.
inline constexpr std::int32_t kFirstErrorResult = 100;
inline constexpr std::int32_t kRestartResult = 1;

// True for an exit code that is the status of an unhandled exception rather
// than a result: the platform's warning and error statuses (0x80000000 to
// 0xDFFFFFFF: an access violation, an unhandled breakpoint) and the statuses
// programs raise themselves (0xE0000000 to 0xEFFFFFFF: an unhandled C++
// exception is 0xE06D7363, a .NET one 0xE0434352). Any other code, -1
// (0xFFFFFFFF) included, is the engine's result.
bool IsCrashStatus(std::uint32_t exitCode);

// What the uninstall run does once the engine has ended.
enum class EngineEndAction {
  kDone,               // success: nothing to show
  kOfferRestart,       // result 1: the restart question
  kShowResultError,    // a Result line of 100 or more: its error file and line
  kShowExitCodeError,  // no Result line, an exit code of 100 or more: the code
  kShowCrash,          // no Result line, an exception status: the status
};

// `result` is the Result line's result when `resultSeen`, else the exit
// code as a number; `exitCode` is the engine's exit code either way.
EngineEndAction ActionForEngineEnd(bool resultSeen, std::int32_t result, std::uint32_t exitCode);

}  // namespace ravuninst
