#include "coinstaller/windows_directory.h"

#include "coinstaller/debug_print.h"
#include "coinstaller/system_paths.h"

namespace coinstaller {

WindowsDirectory WindowsDirectory::Read() {
  char buffer[kPathBufferChars] = {};
  const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length >= sizeof buffer) SetLastError(ERROR_FILENAME_EXCED_RANGE);  // too long: the buffer holds nothing
  if (length == 0 || length >= sizeof buffer) {
    const DWORD error = GetLastError();
    DebugPrint("Fail: GetWindowsDirectory, error: %ld", static_cast<long>(error));
    return WindowsDirectory(std::nullopt, error);
  }
  return WindowsDirectory(std::string(buffer, length), ERROR_SUCCESS);
}

std::optional<std::string> WindowsDirectory::PathTo(std::string_view subdirectory, std::string_view name) const {
  if (!path_) {
    SetLastError(readError_);
    return std::nullopt;
  }
  std::optional<std::string> path = PathBelowWindows(*path_, subdirectory, name);
  if (!path) SetLastError(ERROR_FILENAME_EXCED_RANGE);
  return path;
}

}  // namespace coinstaller
