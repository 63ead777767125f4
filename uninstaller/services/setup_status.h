#pragma once
// The status channel to the setup engine: the engine runs as a child with
// its standard output on a pipe that carries status lines, its standard
// error on the uninstall log (or a second pipe without one), and its
// standard input on a pipe that stays empty.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win_resources.h"
#include "uninstaller/services/core/channel_results.h"
#include "uninstaller/services/core/engine_outcome.h"
#include "uninstaller/services/pipe_reader.h"

namespace ravuninst {

class SetupStatus {
 public:
  SetupStatus() = default;
  SetupStatus(const SetupStatus&) = delete;
  SetupStatus& operator=(const SetupStatus&) = delete;

  // Starts the engine. An empty `logPath` sends the engine's standard error
  // to the error pipe.
  EngineStart Run(const std::u16string& commandLine, const std::u16string& logPath);

  // Reads at most one status line: kProgress with both numbers set,
  // kNothingToReport (no whole line yet, or another kind of line),
  // kChannelEnded, or kChannelError (also for any failure inside).
  StatusPoll Poll(int ignored, std::int32_t& first, std::int32_t& second);
  // Whether the last Poll took anything (any line, or bytes of one): work
  // that the caller should not pause after.
  bool lastPollTookInput() const { return outputReader_.tookInput(); }

  // True once the engine's own process has ended (its pipes may still be
  // held open by a process it started).
  bool EngineHasEnded() const;

  // Waits up to 60 s for the engine, then gives its result: the last Result
  // line's, or else its exit code (202 when unreadable, 259 while running).
  void Result(std::int32_t& result, std::u16string& errorFile, std::int32_t& errorLine);

  // After Result: whether the result came from a Result line (else it is
  // the exit code), and the engine's exit code.
  bool resultSeen() const { return resultSeen_; }
  DWORD exitCode() const { return exitCode_; }

  HANDLE outputRead() const { return outputReader_.handle(); }
  HANDLE errorRead() const { return errorReader_.handle(); }
  PipeReader& errorReader() { return errorReader_; }
  DWORD processId() const { return processId_; }

 private:
  rav::UniqueHandle process_;
  DWORD processId_ = static_cast<DWORD>(-1);
  PipeReader outputReader_;
  PipeReader inputHolder_;  // holds the engine's input pipe open, unused
  PipeReader errorReader_;
  bool resultSeen_ = false;
  std::int32_t result_ = 202;
  std::u16string errorFile_;
  std::int32_t errorLine_ = 0;
  DWORD exitCode_ = 0;
};

// The names the uninstall run and its log use for these operations.
inline EngineStart SetupStatusRun(SetupStatus& status, const std::u16string& commandLine,
                                  const std::u16string& logPath) {
  return status.Run(commandLine, logPath);
}
inline StatusPoll SetupStatusPoll(SetupStatus& status, int ignored, std::int32_t& first, std::int32_t& second) {
  return status.Poll(ignored, first, second);
}
inline void SetupStatusResult(SetupStatus& status, std::int32_t& result, std::u16string& errorFile,
                              std::int32_t& errorLine) {
  status.Result(result, errorFile, errorLine);
}

}  // namespace ravuninst
