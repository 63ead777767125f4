#include "common/process_start_call.h"

namespace rav {

StartedProcess StartProcessA(const ProcessStartA& start) {
  return detail::StartWith<STARTUPINFOA>(
      start, [](const char* application, char* commandLine, BOOL inherit, DWORD flags, void* environment,
                const char* directory, STARTUPINFOA* startup, PROCESS_INFORMATION* started) {
        return CreateProcessA(application, commandLine, nullptr, nullptr, inherit, flags, environment, directory,
                              startup, started);
      });
}

}  // namespace rav
