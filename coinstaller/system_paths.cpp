#include "coinstaller/system_paths.h"

namespace coinstaller {

bool FitsPathBuffer(std::string_view text) { return text.size() < kPathBufferChars; }

std::optional<std::string> PathBelowWindows(std::string_view windowsDirectory, std::string_view subdirectory,
                                            std::string_view fileName) {
  std::string path;
  path.reserve(windowsDirectory.size() + subdirectory.size() + fileName.size() + 2);
  path.append(windowsDirectory).append("\\").append(subdirectory).append("\\").append(fileName);
  if (!FitsPathBuffer(path)) return std::nullopt;
  return path;
}

}  // namespace coinstaller
