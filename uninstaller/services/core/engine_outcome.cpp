#include "uninstaller/services/core/engine_outcome.h"

namespace ravuninst {

bool IsCrashStatus(std::uint32_t exitCode) {
  constexpr std::uint32_t kCppException = 0xE06D7363u;
  constexpr std::uint32_t kDotNetException = 0xE0434352u;
  return (exitCode >= 0x80000000u && exitCode <= 0xDFFFFFFFu) || exitCode == kCppException ||
         exitCode == kDotNetException;
}

}  // namespace ravuninst
