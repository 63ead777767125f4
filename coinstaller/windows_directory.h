#pragma once
// The Windows directory, read once per request into the platform's path
// buffer. When it cannot be read, no path is formed from it: each path that
// needs it fails with the error that stopped the read.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "common/core/result.h"

namespace coinstaller {

class WindowsDirectory {
 public:
  // Logs "Fail: GetWindowsDirectory, error: %ld" when the read fails.
  static WindowsDirectory Read();

  // The directory as read, or the error that stopped the read.
  explicit WindowsDirectory(rav::Result<std::string> path) : path_(std::move(path)) {}

  // "<windows>\<subdirectory>\<name>"; the read's error when the directory is
  // unknown, ERROR_FILENAME_EXCED_RANGE when the path does not fit its buffer.
  rav::Result<std::string> PathTo(std::string_view subdirectory, std::string_view name) const;

 private:
  rav::Result<std::string> path_;
};

}  // namespace coinstaller
