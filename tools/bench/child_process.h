#pragma once
// A program the benchmark starts and watches: its handle for waiting, CPU
// time and memory. Its standard streams go to NUL, so nothing it prints
// mixes with the tables.
#include <windows.h>

#include <string>

#include "common/process_owner.h"

namespace bench {

class ChildProcess {
 public:
  // Starts `commandLine` (program first, quoted as needed) in `directory`
  // (empty: this one's). False when it could not be started.
  bool Start(const std::wstring& commandLine, const std::wstring& directory = {});
  HANDLE handle() const { return process_.process(); }
  DWORD id() const { return process_.processId(); }
  // The exit code once it has ended, STILL_ACTIVE (259) if it is still
  // running after `timeoutMs`.
  DWORD Wait(DWORD timeoutMs = INFINITE);
  // User and kernel time used so far, in milliseconds.
  double CpuMs() const;

 private:
  rav::OwnedProcess process_;
};

// Starts a program and waits for it; its exit code, or -1 when it could not
// be started or did not end within `timeoutMs`.
long RunAndWait(const std::wstring& commandLine, const std::wstring& directory = {}, DWORD timeoutMs = 600000);

}  // namespace bench
