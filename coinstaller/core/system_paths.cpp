#include "coinstaller/core/system_paths.h"

#include "common/core/ascii_case.h"

namespace coinstaller {

bool FitsPathBuffer(std::string_view text) { return text.size() < kPathBufferChars; }

bool IsPlainInfFileName(std::string_view name) {
  constexpr std::string_view kNotInFileNames = "\\/:*?\"<>|";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || kNotInFileNames.find(c) != std::string_view::npos) return false;
  }
  return rav::EndsWithIgnoringAsciiCase(name, ".inf");
}

std::optional<std::string> PathBelowWindows(std::string_view windowsDirectory, std::string_view subdirectory,
                                            std::string_view fileName) {
  std::string path;
  path.reserve(windowsDirectory.size() + subdirectory.size() + fileName.size() + 2);
  path.append(windowsDirectory).append("\\").append(subdirectory).append("\\").append(fileName);
  if (!FitsPathBuffer(path)) return std::nullopt;
  return path;
}

}  // namespace coinstaller
