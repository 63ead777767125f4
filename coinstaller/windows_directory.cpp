#include "coinstaller/windows_directory.h"

#include <optional>
#include <utility>

#include "coinstaller/debug_print.h"
#include "coinstaller/core/system_paths.h"

namespace coinstaller {

WindowsDirectory WindowsDirectory::Read() {
  char buffer[kPathBufferChars] = {};
  const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) {
    // Too long: the buffer holds nothing.
    const DWORD error = length == 0 ? GetLastError() : static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE);
    DebugPrintFailure("Fail: GetWindowsDirectory, error: %ld", ErrorCode(error));
    return WindowsDirectory(rav::Failure{error});
  }
  return WindowsDirectory(std::string(buffer, length));
}

rav::Result<std::string> WindowsDirectory::PathTo(std::string_view subdirectory, std::string_view name) const {
  if (!path_) return path_;
  if (std::optional<std::string> path = PathBelowWindows(*path_, subdirectory, name)) return std::move(*path);
  return rav::Failure{ERROR_FILENAME_EXCED_RANGE};
}

}  // namespace coinstaller
