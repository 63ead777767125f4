#include "common/process_start_call.h"

namespace rav {

StartedProcess StartProcessW(const ProcessStartW& start) {
  return detail::StartWith<STARTUPINFOW>(
      start, [](const wchar_t* application, wchar_t* commandLine, BOOL inherit, DWORD flags, void* environment,
                const wchar_t* directory, STARTUPINFOW* startup, PROCESS_INFORMATION* started) {
        return CreateProcessW(application, commandLine, nullptr, nullptr, inherit, flags, environment, directory,
                              startup, started);
      });
}

}  // namespace rav
