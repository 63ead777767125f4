#include "launcher/core/launcher_paths.h"

namespace launcher {

std::optional<std::string> LauncherDirectory(std::string_view executablePath) {
  const std::size_t slash = executablePath.rfind('\\');
  if (slash == std::string_view::npos || slash == 0) return std::nullopt;
  return std::string(executablePath.substr(0, slash));
}

std::optional<std::string> IniPath(std::string_view launcherDirectory) {
  std::string path(launcherDirectory);
  path.append("\\").append(kIniName);
  if (path.size() > kMaxPathChars) return std::nullopt;
  return path;
}

std::optional<std::string> StagingDirectory(std::string_view temporaryDirectory) {
  std::string path(temporaryDirectory);
  path.append(kStagingName);
  if (path.size() > kMaxPathChars) return std::nullopt;
  return path;
}

}  // namespace launcher
