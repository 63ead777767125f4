#pragma once
// Which number is a started setup program's answer: the "ErrorCode" it left
// in the registry, but only when it wrote it during this run, else its own
// exit code; a program that could not start answers with its start error.
#include <cstdint>

namespace launcher {

// HKCU "SOFTWARE\RavSetup\Status" at one moment.
struct StatusReading {
  bool valueRead = false;           // "ErrorCode" was read as 4 bytes
  std::uint32_t value = 0;
  std::uint64_t keyWriteTime = 0;   // the key's last write time; 0 without the key
};

// One entry of the launch list after its turn.
struct ProgramRun {
  bool started = false;
  // Started: its exit code (a crash's status included). Not started: the
  // start error.
  std::uint32_t code = 0;
};

enum class ResultSource { kErrorCode, kExitCode, kStartError };

struct SetupResult {
  std::uint32_t code = 0;
  ResultSource source = ResultSource::kExitCode;
};

// Whether "ErrorCode" was written between the two readings: it can be read
// now, and it was not there before, holds another value, or the key was
// written since (the same value written again).
bool ErrorCodeWritten(const StatusReading& earlier, const StatusReading& later);

// `runStart` is read before the first program of the run, `before` just
// before this program starts, `after` once it has ended. A program that did
// not start keeps a nonzero "ErrorCode" that an earlier program of this run
// wrote; otherwise its start error is the result.
SetupResult DecideSetupResult(const StatusReading& runStart, const StatusReading& before, const StatusReading& after,
                              const ProgramRun& run);

}  // namespace launcher
