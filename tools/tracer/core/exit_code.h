#pragma once
// Every way ravtrace ends, as its exit code. `run` passes the traced
// program's own exit code on instead when that program ran.
#include <cstdint>

namespace tracer {

enum class ExitCode : std::int32_t {
  kDone = 0,              // --help; listen: stopped; stop: the event was set
  kFailed = 1,            // run: no start, or no output file; listen: no channel; stop: no such event
  kWrongCommandLine = 2,  // the usage text follows the complaint
};

// run: the program's exit code, as it is.
constexpr ExitCode PassedOn(std::uint32_t programExitCode) { return static_cast<ExitCode>(programExitCode); }

}  // namespace tracer
