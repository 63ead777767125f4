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

}  // namespace ravuninst
