#include "coinstaller/inf_backup.h"

#include <string>

#include "coinstaller/debug_print.h"
#include "coinstaller/driver_registry.h"
#include "coinstaller/core/system_paths.h"

namespace coinstaller {
namespace {

// Runs `operation` on the backup; once more after clearing the backup's
// read-only attribute when that is what made it fail.
template <typename Operation>
rav::Result<void> OnOwnBackup(const std::string& backup, Operation operation) {
  if (operation()) return {};
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesA(backup.c_str());
  const bool readOnlyFile = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                            (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  if (error != ERROR_ACCESS_DENIED || !readOnlyFile ||
      !SetFileAttributesA(backup.c_str(), writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL)) {
    return rav::Failure{error};
  }
  if (operation()) return {};
  const DWORD retryError = GetLastError();
  SetFileAttributesA(backup.c_str(), attributes);
  return rav::Failure{retryError};
}

}  // namespace

rav::Result<void> ReplaceInfBackup(const std::string& source, const std::string& backup) {
  return OnOwnBackup(backup, [&] { return CopyFileA(source.c_str(), backup.c_str(), FALSE) != FALSE; });
}

rav::Result<void> DeleteInfBackup(const std::string& backup) {
  return OnOwnBackup(backup, [&] { return DeleteFileA(backup.c_str()) != FALSE; });
}

void BackUpInfFile(HKEY driverKey, const WindowsDirectory& windows) {
  std::string infName;
  if (!GetInfFromDrvRegistry(driverKey, infName)) return;

  const rav::Result<std::string> source = windows.PathTo(kInfDirectory, infName);
  if (source) DebugPrint("Source Inf file: %s", source->c_str());
  // The destination is the longer path: it fails whenever the source does.
  const rav::Result<std::string> destination = windows.PathTo(kSystemDirectory, infName);
  if (destination) DebugPrint("Destination Inf file: %s", destination->c_str());
  if (!source || !destination) {
    const rav::WindowsError error = destination ? source.error() : destination.error();
    DebugPrintFailure("Could not backup inf file, error: %ld", ErrorCode(error));
    return;
  }
  if (const rav::Result<void> copied = ReplaceInfBackup(*source, *destination)) {
    DebugPrint("Inf file is successfully backed up.");
  } else {
    DebugPrintFailure("Could not backup inf file, error: %ld", ErrorCode(copied.error()));
  }
}

}  // namespace coinstaller
