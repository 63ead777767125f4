#pragma once
// What the three start calls share: the STARTUPINFO, the writable copies the
// calls take and the result. Included by the objects that make the calls.
#include <windows.h>

#include <string>
#include <type_traits>

#include "common/process_start.h"

namespace rav::detail {

template <typename Char>
const Char* NullIfEmpty(const std::basic_string<Char>& text) {
  return text.empty() ? nullptr : text.c_str();
}

// Sets the thread's last error as it leaves scope, after the copies made
// below it are freed: callers read it after a failed start.
class LastErrorOnExit {
 public:
  LastErrorOnExit() = default;
  ~LastErrorOnExit() {
    if (error_ != 0) SetLastError(error_);
  }
  LastErrorOnExit(const LastErrorOnExit&) = delete;
  LastErrorOnExit& operator=(const LastErrorOnExit&) = delete;
  void Set(DWORD error) { error_ = error; }

 private:
  DWORD error_ = 0;
};

// `create` is CreateProcessA, CreateProcessW or one called as they are.
template <typename StartupInfo, typename Char, typename Create>
StartedProcess StartWith(const ProcessStart<Char>& start, Create create) {
  LastErrorOnExit lastError;
  StartupInfo startup = {};
  startup.cb = sizeof startup;
  if constexpr (std::is_same_v<Char, wchar_t>) {
    if (start.ownStartupInfo) GetStartupInfoW(&startup);
  }
  if (start.standardHandles) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = start.standardHandles->input;
    startup.hStdOutput = start.standardHandles->output;
    startup.hStdError = start.standardHandles->error;
  }
  DWORD flags = start.creationFlags;
  if constexpr (std::is_same_v<Char, wchar_t>) {
    if (!start.environment.empty()) flags |= CREATE_UNICODE_ENVIRONMENT;
  }
  // The call may write into the command line; the block is copied too, as
  // the call takes it through a pointer that is not const.
  std::basic_string<Char> commandLine = start.commandLine;
  std::basic_string<Char> environment = start.environment;
  PROCESS_INFORMATION started = {};
  const BOOL inherit = start.inheritHandles ? TRUE : FALSE;
  if (!create(NullIfEmpty(start.application), commandLine.data(), nullptr, nullptr, inherit, flags,
              environment.empty() ? nullptr : environment.data(), NullIfEmpty(start.directory), &startup,
              &started)) {
    const DWORD error = GetLastError();
    lastError.Set(error);
    return Failure{error};
  }
  return OwnedProcess(started);
}

}  // namespace rav::detail
