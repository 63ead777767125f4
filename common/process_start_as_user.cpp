#include "common/process_start_call.h"

namespace rav {

StartedProcess StartProcessAsUserW(HANDLE token, const ProcessStartW& start) {
  return detail::StartWith<STARTUPINFOW>(
      start, [token](const wchar_t* application, wchar_t* commandLine, SECURITY_ATTRIBUTES* processAttributes,
                     SECURITY_ATTRIBUTES* threadAttributes, BOOL inherit, DWORD flags, void* environment,
                     const wchar_t* directory, STARTUPINFOW* startup, PROCESS_INFORMATION* started) {
        return CreateProcessAsUserW(token, application, commandLine, processAttributes, threadAttributes, inherit,
                                    flags, environment, directory, startup, started);
      });
}

}  // namespace rav
