#pragma once
// The owner of a started program: its process and thread handles and their
// IDs, closed together, so that no caller takes PROCESS_INFORMATION apart.
#include <windows.h>

#include <utility>

#include "common/win_resources.h"

namespace rav {

class OwnedProcess {
 public:
  OwnedProcess() noexcept = default;
  explicit OwnedProcess(const PROCESS_INFORMATION& started) noexcept
      : process_(started.hProcess),
        thread_(started.hThread),
        processId_(started.dwProcessId),
        threadId_(started.dwThreadId) {}

  HANDLE process() const noexcept { return process_.get(); }
  HANDLE thread() const noexcept { return thread_.get(); }
  DWORD processId() const noexcept { return processId_; }
  DWORD threadId() const noexcept { return threadId_; }
  explicit operator bool() const noexcept { return process_.valid(); }

  // WAIT_OBJECT_0 once the program has ended, WAIT_TIMEOUT while it runs
  // past `milliseconds`, WAIT_FAILED when the handle cannot be waited on.
  DWORD Wait(DWORD milliseconds = INFINITE) const noexcept {
    return WaitForSingleObject(process_.get(), milliseconds);
  }
  // The program's exit code (STILL_ACTIVE while it runs); false, with
  // `code` left as it was, when it cannot be read.
  bool ExitCode(DWORD& code) const noexcept { return GetExitCodeProcess(process_.get(), &code) != FALSE; }

  // Hands the process handle to an owner that outlives this one; the thread
  // handle still closes with this one.
  UniqueHandle TakeProcess() noexcept { return std::move(process_); }

 private:
  UniqueHandle process_;
  UniqueHandle thread_;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
};

}  // namespace rav
