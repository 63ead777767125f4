#pragma once
// The Windows directory, read once per request into the platform's path
// buffer. When it cannot be read, no path is formed from it: each path that
// needs it fails with the error that stopped the read.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace coinstaller {

class WindowsDirectory {
 public:
  // Logs "Fail: GetWindowsDirectory, error: %ld" when the read fails.
  static WindowsDirectory Read();

  // The directory as read, or nothing and the error that stopped the read.
  WindowsDirectory(std::optional<std::string> path, DWORD readError)
      : path_(std::move(path)), readError_(readError) {}

  // "<windows>\<subdirectory>\<name>"; nothing, with the thread's last error
  // set, when the directory is unknown or the path does not fit its buffer.
  std::optional<std::string> PathTo(std::string_view subdirectory, std::string_view name) const;

 private:
  std::optional<std::string> path_;
  DWORD readError_ = ERROR_SUCCESS;
};

}  // namespace coinstaller
