#include "uninstaller/services/core/engine_outcome.h"

namespace ravuninst {

bool IsCrashStatus(std::uint32_t exitCode) { return exitCode >= 0x80000000u && exitCode <= 0xEFFFFFFFu; }

}  // namespace ravuninst
