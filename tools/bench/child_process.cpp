#include "tools/bench/child_process.h"

#include <vector>

namespace bench {

bool ChildProcess::Start(const std::wstring& commandLine, const std::wstring& directory) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  rav::UniqueHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, 0, nullptr));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
    return false;
  }
  rav::UniqueHandle thread(started.hThread);
  process_.reset(started.hProcess);
  id_ = started.dwProcessId;
  return true;
}

DWORD ChildProcess::Wait(DWORD timeoutMs) {
  if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

double ChildProcess::CpuMs() const {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process_.get(), &created, &ended, &kernel, &user)) return 0;
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

std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

}  // namespace bench
