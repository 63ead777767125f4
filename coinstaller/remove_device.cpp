#include "coinstaller/remove_device.h"

#include <optional>
#include <string>

#include "coinstaller/companion_files.h"
#include "coinstaller/debug_print.h"
#include "coinstaller/driver_registry.h"
#include "coinstaller/inf_backup.h"
#include "coinstaller/system_paths.h"
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
    const long error = static_cast<long>(started.error);
    DebugPrint("Error %ld running \"%s\".", error, command.c_str());
    return;
  }
  started.process.Wait(INFINITE);
}

// Unregisters the library with the system's own regsvr32, named by its full
// path; a command that does not fit its buffer is refused, never cut.
void StartUnregistration(std::string_view library) {
  char system[kPathBufferChars] = {};
  const UINT length = GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system) {
    const long error = length == 0 ? LastErrorCode() : static_cast<long>(ERROR_INSUFFICIENT_BUFFER);
    DebugPrint("Fail: GetSystemDirectory, error: %ld; regsvr32 is not started.", error);
    return;
  }
  const std::optional<std::string> command = UnregisterCommand(std::string_view(system, length), library);
  if (!command) {
    DebugPrint("The command to unregister %.*s does not fit in %d characters; regsvr32 is not started.",
               static_cast<int>(library.size()), library.data(), static_cast<int>(kUnregisterCommandBuffer - 1));
    return;
  }
  RunUnregisterCommand(*command);
}

bool DeleteCompanionLibrary(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

// Deletes a file in the system directory with `remove`; false with the
// thread's last error set when the path cannot be formed or the file cannot
// be deleted.
bool DeleteSystemFile(const WindowsDirectory& windows, std::string_view name, std::string& path,
                      bool (*remove)(const std::string&)) {
  const std::optional<std::string> formed = windows.PathTo(kSystemDirectory, name);
  if (!formed) return false;
  path = *formed;
  return remove(path);
}

}  // namespace

void CleanUpSystemDirectory(const WindowsDirectory& windows, const std::string& infName) {
  if (const std::optional<std::string> backup = windows.PathTo(kSystemDirectory, infName)) {
    if (const std::optional<std::string> cleanup = CleanupCommand(*backup)) {
      DebugPrint("Command: %s", cleanup->c_str());
    }
  }
  StartUnregistration(UserInterfaceLibrary(ProcessorArchitecture()));

  std::string path;
  // The companion libraries belong to the driver package, not to the
  // co-installer: one that cannot be deleted as it is stays as it is.
  if (DeleteSystemFile(windows, ServiceLibrary(ProcessorArchitecture()), path, DeleteCompanionLibrary)) {
    DebugPrint("%s file is successfully deleted.", path.c_str());
  } else {
    const long error = LastErrorCode();
    DebugPrint("Could not delete ravihvsrv.dll, error: %ld", error);
  }
  if (DeleteSystemFile(windows, UserInterfaceLibrary(ProcessorArchitecture()), path, DeleteCompanionLibrary)) {
    DebugPrint("%s file is successfully deleted.", path.c_str());
  } else {
    const long error = LastErrorCode();
    DebugPrint("Could not delete ravwihvui.dll, error: %ld", error);
  }
  if (DeleteSystemFile(windows, infName, path, DeleteInfBackup)) {
    DebugPrint("Backup inf file is successfully deleted.");
  } else {
    const long error = LastErrorCode();
    DebugPrint("Could not delete backup inf file, error: %ld", error);
  }
}

DWORD OnRemoveDevice(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, const ClassInstallerCalls& calls) {
  DebugPrint("DIF_REMOVE");
  const rav::UniqueHkey driverKey = OpenDriverKey(deviceInfoSet, deviceInfoData);
  if (!driverKey) {
    const long error = LastErrorCode();
    DebugPrint("Failed to open driver registry. [err=%ld]", error);
    return NO_ERROR;
  }
  ChangeDeviceState(deviceInfoSet, deviceInfoData, DICS_DISABLE, "Disabled the device", calls);

  std::string infName;
  if (!GetInfFromDrvRegistry(driverKey.get(), infName)) return NO_ERROR;
  CleanUpSystemDirectory(WindowsDirectory::Read(), infName);
  return NO_ERROR;
}

}  // namespace coinstaller
