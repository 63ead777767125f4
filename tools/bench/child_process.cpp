#include "tools/bench/child_process.h"

#include <utility>

#include "common/process_start.h"

namespace bench {

bool ChildProcess::Start(const std::wstring& commandLine, const std::wstring& directory) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  rav::UniqueHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, 0, nullptr));
  rav::ProcessStartW start;
  start.commandLine = commandLine;
  start.directory = directory;
  start.inheritHandles = true;
  start.standardHandles = rav::StandardHandles{nul.get(), nul.get(), nul.get()};
  rav::StartedProcess started = rav::StartProcessW(start);
  if (!started.ok()) return false;
  process_ = std::move(*started);
  return true;
}

DWORD ChildProcess::Wait(DWORD timeoutMs) {
  if (process_.Wait(timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  process_.ExitCode(code);
  return code;
}

double ChildProcess::CpuMs() const {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process_.process(), &created, &ended, &kernel, &user)) return 0;
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;  // 100 ns units
}

long RunAndWait(const std::wstring& commandLine, const std::wstring& directory, DWORD timeoutMs) {
  ChildProcess child;
  if (!child.Start(commandLine, directory)) return -1;
  const DWORD code = child.Wait(timeoutMs);
  return code == STILL_ACTIVE ? -1 : static_cast<long>(code);
}

}  // namespace bench
