#include "launcher/launch_list.h"

#include <climits>
#include <optional>
#include <vector>

#include "common/ansi_text.h"
#include "common/process_start.h"
#include "common/win_resources.h"
#include "launcher/ansi_path.h"
#include "launcher/debug_print.h"
#include "launcher/core/launch_entry.h"
#include "launcher/core/launcher_paths.h"
#include "launcher/resolved_path.h"
#include "launcher/setup_error_code.h"
#include "launcher/staging.h"
#include "launcher/staging_lock.h"
#include "launcher/core/staging_rules.h"

namespace launcher {
namespace {

bool ReadErrorChecking(const std::string& iniPath) {
  char value[10] = {};
  const DWORD length = GetPrivateProfileStringA("OPTIONS", "CHECKERROR", "Y", value, sizeof value, iniPath.c_str());
  if (length > 0 && ErrorCheckingDisabled(value)) {
    DebugPrint("Launcher: Error Checking Disabled\n");
    return false;
  }
  return true;
}

// The staging directory's base path (the fixed name), or the error code that
// ends the run when the temporary directory cannot give one: nothing is
// staged or started then.
struct StagingPath {
  std::string path;
  std::u16string folded;  // full, long, upper case: for comparing and the lock
  DWORD error = 0;
};

StagingPath ResolveStagingDirectory() {
  wchar_t temp[kMaxPathChars] = {};
  const DWORD length = GetTempPathW(kMaxPathChars, temp);
  if (length == 0) {
    const DWORD error = GetLastError();
    DebugPrint("Launcher: Unable to read the temporary directory. Reason: %d", static_cast<int>(error));
    return {{}, {}, error != 0 ? error : static_cast<DWORD>(ERROR_PATH_NOT_FOUND)};
  }
  if (length >= kMaxPathChars) {
    DebugPrint("Launcher: The temporary directory path needs %d characters, more than %d; nothing is staged.",
               static_cast<int>(length), static_cast<int>(kMaxPathChars - 1));
    return {{}, {}, ERROR_FILENAME_EXCED_RANGE};
  }
  // The narrow calls must reach this very directory, not a best-fit twin.
  const std::wstring wideTemp(temp, length);
  const std::optional<std::string> narrowTemp = AnsiPath(wideTemp);
  if (!narrowTemp) {
    DebugPrint("Launcher: The temporary directory's name cannot be held in the ANSI code page, nor its short name; "
               "nothing is staged.");
    return {{}, {}, ERROR_NO_UNICODE_TRANSLATION};
  }
  std::string base = *narrowTemp;
  if (!base.empty() && base.back() != '\\') base.push_back('\\');
  std::optional<std::string> staging = StagingDirectory(base);
  if (!staging) {
    DebugPrint("Launcher: The staging directory %sRavWLSetup does not fit in %d characters; nothing is staged.",
               base.c_str(), static_cast<int>(kMaxPathChars));
    return {{}, {}, ERROR_FILENAME_EXCED_RANGE};
  }
  // The temporary directory exists, the staging directory may not yet: the
  // long form is read for the former.
  std::u16string folded = FoldedFullPath(wideTemp);
  while (!folded.empty() && folded.back() == u'\\') folded.pop_back();
  folded += u"\\RAVWLSETUP";
  return {*staging, folded, 0};
}

// Starts one program and waits for it. Returns 0 when it ran, else the
// reason it could not be started.
DWORD StartAndWait(const std::string& programPath, const std::string& commandLine) {
  rav::ProcessStartA start;
  start.application = programPath;
  start.commandLine = commandLine;
  start.inheritHandles = true;
  DWORD error = 0;
  {
    const rav::StartedProcess started = rav::StartProcessA(start);
    if (started.ok()) {
      if (started->Wait(INFINITE) == WAIT_FAILED) {
        DebugPrint("Failed to wait for the process.");
      } else {
        DebugPrint("Finished waiting for the process.");
      }
    } else {
      error = started.error();
      DebugPrint("CreateProcess() failed to create and launch process: %s.", programPath.c_str());
    }
  }  // the program's handles close here, before its last error is logged
  DebugPrint("%s returned 0x%08x\n", programPath.c_str(), static_cast<unsigned>(GetLastError()));
  return error;
}

// Forms the entry's texts and runs it. Returns 0 when the program ran.
DWORD RunEntry(int index, char* value, const std::string& argumentText, const std::string& launcherDirectory,
               const std::string& stagingDirectory) {
  const char* arguments = nullptr;
  SplitLaunchEntry(value, &arguments);
  DebugPrint("Command: %s\n", value);
  if (arguments != nullptr) DebugPrint("Arguments: %s\n", arguments);
  const std::string listedFile = "\"" + launcherDirectory + "\\" + value + "\"";
  DebugPrint("FILE%d: %s\n", index, listedFile.c_str());

  const std::optional<std::string> programPath = ProgramPath(stagingDirectory, value);
  if (!programPath) {
    DebugPrint("Launcher: The program path %s\\%s does not fit in %d characters; it is not started.",
               stagingDirectory.c_str(), value, static_cast<int>(kCommandBufferSize - 1));
    return ERROR_FILENAME_EXCED_RANGE;
  }
  DebugPrint("Launch String: %s\n", programPath->c_str());

  std::optional<std::string> entryArguments;
  if (arguments != nullptr) entryArguments = arguments;
  const std::optional<std::string> commandLine = CommandLineText(entryArguments, argumentText);
  if (!commandLine) {
    DebugPrint("Launcher: The command line for %s does not fit in %d characters; it is not started.",
               programPath->c_str(), static_cast<int>(kCommandBufferSize - 1));
    return ERROR_FILENAME_EXCED_RANGE;
  }
  DebugPrint("Commandline: %s\n", commandLine->c_str());
  return StartAndWait(*programPath, *commandLine);
}

// An entry that filled the whole 260-byte buffer may have been cut.
bool EntryWasCut(const std::string& iniPath, const std::string& key, DWORD length) {
  if (length < kEntryBufferSize - 1) return false;
  std::vector<char> whole(32768);
  return GetPrivateProfileStringA("LAUNCHLIST", key.c_str(), "", whole.data(), static_cast<DWORD>(whole.size()),
                                  iniPath.c_str()) > length;
}

// Runs FILE0, FILE1, ... from the staging directory; the result of the last.
ExitCode RunEntries(const std::string& argumentText, const std::string& iniPath, const std::string& launcherDirectory,
                 const std::string& staging, bool checkErrors) {
  DWORD lastSetupError = 0;
  bool anyEntry = false;
  bool done = false;
  for (int index = 0; !done && index < INT_MAX; ++index) {
    char value[kEntryBufferSize] = {};
    const std::string key = LaunchKey(index);
    const DWORD length = GetPrivateProfileStringA("LAUNCHLIST", key.c_str(), "", value, sizeof value, iniPath.c_str());
    if (length == 0) break;
    anyEntry = true;

    DWORD startError;
    if (EntryWasCut(iniPath, key, length)) {
      // A cut command line could run the program with the wrong arguments.
      DebugPrint("Launcher: %s in %s is longer than %d characters; it is not started.", key.c_str(), iniPath.c_str(),
                 static_cast<int>(kEntryBufferSize - 1));
      startError = ERROR_FILENAME_EXCED_RANGE;
    } else {
      startError = RunEntry(index, value, argumentText, launcherDirectory, staging);
    }
    if (checkErrors) done = true;

    lastSetupError = GetSetupErrorCode();
    if (lastSetupError != 0) DebugPrint("Error occured. Return Code: %d", static_cast<int>(lastSetupError));
    if (startError != 0 && lastSetupError == 0) {
      // The setup never ran, so a zero in the registry is not its answer.
      DebugPrint("Launcher: The program was not started; its start error %d is the result.",
                 static_cast<int>(startError));
      lastSetupError = startError;
    }
  }
  if (!anyEntry) {
    DebugPrint("Launcher: %s lists no program (LAUNCHLIST FILE0); nothing was started.", iniPath.c_str());
    return ExitCode::kNoProgramListed;
  }
  return PassedOn(lastSetupError);
}

}  // namespace

ExitCode RunLaunchList(const std::string& argumentText, const std::string& iniPath,
                       const std::string& launcherDirectory) {
  const bool checkErrors = ReadErrorChecking(iniPath);

  const StagingPath staging = ResolveStagingDirectory();
  if (staging.error != 0) return PassedOn(staging.error);
  // A leftover at the staging directory is removed before the copy: that
  // must never be the package itself or a directory that holds it.
  if (IsSameOrBelow(FoldedFullPath(rav::AnsiToWide(launcherDirectory)), staging.folded)) {
    DebugPrint("Launcher: The package in %s lies in the staging directory %s, which every run deletes; nothing is "
               "staged, deleted or started. Run Setup.exe from another folder.",
               launcherDirectory.c_str(), staging.path.c_str());
    return ExitCode::kPackageInStaging;
  }
  const StagingLock lock(staging.folded);
  if (lock.state() == StagingLock::State::kBusy) {
    DebugPrint("Launcher: Another Setup.exe is using %s; nothing is staged or started. Try again when it has ended.",
               staging.path.c_str());
    return ExitCode::kAlreadyRunning;
  }
  if (lock.state() == StagingLock::State::kFailed) {
    // Without the lock a second run could delete this one's copy: stop.
    DebugPrint("Launcher: The lock for %s could not be made. Reason: %d; nothing is staged or started.",
               staging.path.c_str(), static_cast<int>(lock.error()));
    return PassedOn(lock.error() != 0 ? static_cast<DWORD>(lock.error()) : static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }

  const StagingChoice directory = MakeStagingDirectory(staging.path, kMaxPathChars);
  if (directory.error != 0) {
    DebugPrint("Launcher: No staging directory could be made (error %d); nothing is started.",
               static_cast<int>(directory.error));
    return PassedOn(directory.error);
  }

  const DWORD copied = CopySetupFiles(launcherDirectory, directory.path);
  ExitCode result;
  if (copied != 0) {
    // Running from a part of the package could install the wrong thing.
    DebugPrint("Launcher: The package could not be staged completely (error %d); nothing is started.",
               static_cast<int>(copied));
    result = PassedOn(copied);
  } else {
    result = RunEntries(argumentText, iniPath, launcherDirectory, directory.path, checkErrors);
  }

  CleanupSetupFiles(directory.path);
  return result;
}

}  // namespace launcher
