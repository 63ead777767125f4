#include "launcher/launch_list.h"

#include <climits>
#include <optional>
#include <vector>

#include "common/win_resources.h"
#include "launcher/debug_print.h"
#include "launcher/launch_entry.h"
#include "launcher/launcher_paths.h"
#include "launcher/setup_error_code.h"
#include "launcher/staging.h"

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

// The staging directory, or the error code that ends the run when the
// temporary directory cannot give one: nothing is staged or started then.
struct StagingPath {
  std::string path;
  DWORD error = 0;
};

StagingPath ResolveStagingDirectory() {
  char temp[kMaxPathChars] = {};
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0) {
    const DWORD error = GetLastError();
    DebugPrint("Launcher: Unable to read the temporary directory. Reason: %d", static_cast<int>(error));
    return {{}, error != 0 ? error : static_cast<DWORD>(ERROR_PATH_NOT_FOUND)};
  }
  if (length >= sizeof temp) {
    DebugPrint("Launcher: The temporary directory path needs %d characters, more than %d; nothing is staged.",
               static_cast<int>(length), static_cast<int>(sizeof temp - 1));
    return {{}, ERROR_FILENAME_EXCED_RANGE};
  }
  std::optional<std::string> staging = StagingDirectory(temp);
  if (!staging) {
    DebugPrint("Launcher: The staging directory %sRavWLSetup does not fit in %d characters; nothing is staged.", temp,
               static_cast<int>(kMaxPathChars));
    return {{}, ERROR_FILENAME_EXCED_RANGE};
  }
  return {*staging, 0};
}

// Starts one program and waits for it. Returns 0 when it ran, else the
// reason it could not be started.
DWORD StartAndWait(const std::string& programPath, const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  std::vector<char> writableCommandLine(commandLine.begin(), commandLine.end());
  writableCommandLine.push_back('\0');

  const BOOL ok = CreateProcessA(programPath.c_str(), writableCommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 nullptr, &startup, &started);
  const DWORD startError = ok ? 0 : GetLastError();
  rav::UniqueHandle process(started.hProcess);
  rav::UniqueHandle thread(started.hThread);
  if (ok) {
    if (WaitForSingleObject(process.get(), INFINITE) == WAIT_FAILED) {
      DebugPrint("Failed to wait for the process.");
    } else {
      DebugPrint("Finished waiting for the process.");
    }
  } else {
    DebugPrint("CreateProcess() failed to create and launch process: %s.", programPath.c_str());
  }
  process.reset();
  thread.reset();
  DebugPrint("%s returned 0x%08x\n", programPath.c_str(), static_cast<unsigned>(GetLastError()));
  return startError;
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

// A staging directory an earlier run left behind (its clean-up failed, or it
// was killed) is removed first, so that none of its files can be run. One
// that is a link, or holds one, is not touched and nothing is staged.
DWORD RemoveLeftoverStaging(const std::string& staging) {
  if (GetFileAttributesA(staging.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
  if (const std::optional<std::string> link = FindLink(staging)) {
    DebugPrint("Launcher: %s is a link; nothing is staged or started.", link->c_str());
    return ERROR_ACCESS_DENIED;
  }
  DebugPrint("Launcher: %s is left from an earlier run; it is removed first.", staging.c_str());
  CleanupSetupFiles(staging);
  return 0;
}

// An entry that filled the whole 260-byte buffer may have been cut.
bool EntryWasCut(const std::string& iniPath, const std::string& key, DWORD length) {
  if (length < kEntryBufferSize - 1) return false;
  std::vector<char> whole(32768);
  return GetPrivateProfileStringA("LAUNCHLIST", key.c_str(), "", whole.data(), static_cast<DWORD>(whole.size()),
                                  iniPath.c_str()) > length;
}

// Runs FILE0, FILE1, ... from the staging directory; the result of the last.
DWORD RunEntries(const std::string& argumentText, const std::string& iniPath, const std::string& launcherDirectory,
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
    lastSetupError = ERROR_FILE_NOT_FOUND;
  }
  return lastSetupError;
}

}  // namespace

DWORD RunLaunchList(const std::string& argumentText, const std::string& iniPath,
                    const std::string& launcherDirectory) {
  const bool checkErrors = ReadErrorChecking(iniPath);

  const StagingPath staging = ResolveStagingDirectory();
  if (staging.error != 0) return staging.error;
  if (const DWORD refused = RemoveLeftoverStaging(staging.path)) return refused;

  const DWORD copied = CopySetupFiles(launcherDirectory, staging.path);
  DWORD result;
  if (copied != 0) {
    // Running from a part of the package, or from files an earlier run left,
    // could install the wrong thing.
    DebugPrint("Launcher: The package could not be staged completely (error %d); nothing is started.",
               static_cast<int>(copied));
    result = copied;
  } else {
    result = RunEntries(argumentText, iniPath, launcherDirectory, staging.path, checkErrors);
  }

  CleanupSetupFiles(staging.path);
  return result;
}

}  // namespace launcher
