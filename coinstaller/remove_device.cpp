#include "coinstaller/remove_device.h"

#include <optional>
#include <string>

#include "coinstaller/core/companion_files.h"
#include "coinstaller/debug_print.h"
#include "coinstaller/driver_registry.h"
#include "coinstaller/inf_backup.h"
#include "coinstaller/core/system_paths.h"
#include "coinstaller/windows_directory.h"
#include "common/process_start.h"
#include "common/win_resources.h"

namespace coinstaller {
namespace {

// Asked before each use: the names depend on it, and nothing is cached
// between the steps.
std::uint16_t ProcessorArchitecture() {
  SYSTEM_INFO info = {};
  GetSystemInfo(&info);
  return info.wProcessorArchitecture;
}

// Starts the unregistration and waits for it, with no time limit, so that no
// file is deleted while regsvr32 still uses it.
void RunUnregisterCommand(const std::string& command) {
  static_assert(sizeof(STARTUPINFOA) == 104);  // the cb the child is given
  rav::ProcessStartA start;
  start.commandLine = command;
  start.creationFlags = NORMAL_PRIORITY_CLASS;
  start.standardHandles = rav::StandardHandles{};  // the flag and no handles: the child gets none
  const rav::StartedProcess started = rav::StartProcessA(start);
  if (!started.ok()) {
    const long error = static_cast<long>(started.error());
    DebugPrintFailure("Error %ld running \"%s\".", error, command.c_str());
    return;
  }
  started->Wait(INFINITE);
}

// Unregisters the library with the system's own regsvr32, named by its full
// path; a command that does not fit its buffer is refused, never cut.
void StartUnregistration(std::string_view library) {
  char system[kPathBufferChars] = {};
  const UINT length = GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system) {
    const long error = length == 0 ? LastErrorCode() : static_cast<long>(ERROR_INSUFFICIENT_BUFFER);
    DebugPrintFailure("Fail: GetSystemDirectory, error: %ld; regsvr32 is not started.", error);
    return;
  }
  const std::optional<std::string> command = UnregisterCommand(std::string_view(system, length), library);
  if (!command) {
    DebugPrintFailure("The command to unregister %.*s does not fit in %d characters; regsvr32 is not started.",
                      static_cast<int>(library.size()), library.data(), static_cast<int>(kUnregisterCommandBuffer - 1));
    return;
  }
  RunUnregisterCommand(*command);
}

rav::Result<void> DeleteCompanionLibrary(const std::string& path) {
  if (DeleteFileA(path.c_str())) return {};
  return rav::Failure{GetLastError()};
}

// Deletes a file in the system directory with `remove`: its path, or why the
// path cannot be formed or the file cannot be deleted.
rav::Result<std::string> DeleteSystemFile(const WindowsDirectory& windows, std::string_view name,
                                          rav::Result<void> (*remove)(const std::string&)) {
  rav::Result<std::string> path = windows.PathTo(kSystemDirectory, name);
  if (!path) return path;
  if (const rav::Result<void> removed = remove(*path); !removed) return rav::Failure{removed.error()};
  return path;
}

}  // namespace

void CleanUpSystemDirectory(const WindowsDirectory& windows, const std::string& infName) {
  if (const rav::Result<std::string> backup = windows.PathTo(kSystemDirectory, infName)) {
    if (const std::optional<std::string> cleanup = CleanupCommand(*backup)) {
      DebugPrint("Command: %s", cleanup->c_str());
    }
  }
  StartUnregistration(UserInterfaceLibrary(ProcessorArchitecture()));

  // The companion libraries belong to the driver package, not to the
  // co-installer: one that cannot be deleted as it is stays as it is.
  if (const rav::Result<std::string> deleted =
          DeleteSystemFile(windows, ServiceLibrary(ProcessorArchitecture()), DeleteCompanionLibrary)) {
    DebugPrint("%s file is successfully deleted.", deleted->c_str());
  } else {
    DebugPrintFailure("Could not delete ravihvsrv.dll, error: %ld", ErrorCode(deleted.error()));
  }
  if (const rav::Result<std::string> deleted =
          DeleteSystemFile(windows, UserInterfaceLibrary(ProcessorArchitecture()), DeleteCompanionLibrary)) {
    DebugPrint("%s file is successfully deleted.", deleted->c_str());
  } else {
    DebugPrintFailure("Could not delete ravwihvui.dll, error: %ld", ErrorCode(deleted.error()));
  }
  if (const rav::Result<std::string> deleted = DeleteSystemFile(windows, infName, DeleteInfBackup)) {
    DebugPrint("Backup inf file is successfully deleted.");
  } else {
    DebugPrintFailure("Could not delete backup inf file, error: %ld", ErrorCode(deleted.error()));
  }
}

DWORD OnRemoveDevice(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, const ClassInstallerCalls& calls) {
  DebugPrint("DIF_REMOVE");
  const rav::Result<rav::UniqueHkey> driverKey = OpenDriverKey(deviceInfoSet, deviceInfoData);
  if (!driverKey) {
    DebugPrintFailure("Failed to open driver registry. [err=%ld]", ErrorCode(driverKey.error()));
    return NO_ERROR;
  }
  ChangeDeviceState(deviceInfoSet, deviceInfoData, DICS_DISABLE, "Disabled the device", calls);

  std::string infName;
  if (!GetInfFromDrvRegistry(driverKey->get(), infName)) return NO_ERROR;
  CleanUpSystemDirectory(WindowsDirectory::Read(), infName);
  return NO_ERROR;
}

}  // namespace coinstaller
