#include "coinstaller/os_version.h"

#include <windows.h>

namespace coinstaller {

static_assert(sizeof(OSVERSIONINFOA) == 148);

std::optional<ReportedVersion> QueryReportedVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return std::nullopt;
  return ReportedVersion{info.dwMajorVersion, info.dwMinorVersion};
}

bool IsWin2000() { return IsVersion50(QueryReportedVersion()); }

}  // namespace coinstaller
