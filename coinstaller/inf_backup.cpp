#include "coinstaller/inf_backup.h"

#include <optional>
#include <string>

#include "coinstaller/debug_print.h"
#include "coinstaller/driver_registry.h"
#include "coinstaller/system_paths.h"

namespace coinstaller {

void BackUpInfFile(HKEY driverKey, const WindowsDirectory& windows) {
  std::string infName;
  if (!GetInfFromDrvRegistry(driverKey, infName)) return;

  const std::optional<std::string> source = windows.PathTo(kInfDirectory, infName);
  if (source) DebugPrint("Source Inf file: %s", source->c_str());
  // The destination is the longer path: it fails whenever the source does.
  const std::optional<std::string> destination = windows.PathTo(kSystemDirectory, infName);
  if (destination) DebugPrint("Destination Inf file: %s", destination->c_str());
  if (!source || !destination) {
    const long error = LastErrorCode();
    DebugPrint("Could not backup inf file, error: %ld", error);
    return;
  }
  if (CopyFileA(source->c_str(), destination->c_str(), FALSE)) {
    DebugPrint("Inf file is successfully backed up.");
  } else {
    const long error = LastErrorCode();
    DebugPrint("Could not backup inf file, error: %ld", error);
  }
}

}  // namespace coinstaller
