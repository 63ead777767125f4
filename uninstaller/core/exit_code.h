#pragma once
// Every way ravuninst.exe ends, as its exit code.
#include <cstdint>

namespace ravuninst {

enum class ExitCode : std::int32_t {
  // Done: also Cancel, an engine result below 100 (-1 included), a restart
  // offered, and the modes that only leave their trace line.
  kDone = 0,
  kEngineNotStarted = 1,          // verbose: the setup engine could not be started
  kNotAdministrator = 4,          // verbose: the warning was shown
  kNoMode = 4,                    // no mode keyword on the command line
  kNotAdministratorNoTexts = 6,   // verbose: the warning has no texts; nothing shown
  kProductNotRemoved = 100,       // services: the adapter's removal command cannot be found or run
};

// Verbose: the engine's own answer passed on as the exit code, an error
// result (100 and above) or the status of a crash.
constexpr ExitCode EngineExitCode(std::int32_t engineResult) { return static_cast<ExitCode>(engineResult); }

}  // namespace ravuninst
