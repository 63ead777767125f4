#include "launcher/launch_list.h"

#include <climits>
#include <optional>
#include <vector>

#include "common/ansi_text.h"
#include "common/process_start.h"
#include "common/win_resources.h"
#include "launcher/ansi_path.h"
#include "launcher/core/launch_entry.h"
#include "launcher/core/launcher_paths.h"
#include "launcher/core/setup_result.h"
#include "launcher/core/staging_rules.h"
#include "launcher/debug_print.h"
#include "launcher/directory_identity.h"
#include "launcher/setup_error_code.h"
#include "launcher/staged_listing.h"
#include "launcher/staging.h"
#include "launcher/staging_lock.h"

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

// The staging directory's base path (the fixed name) and the identity of the
// temporary directory that holds it, or the error code that ends the run
// when the temporary directory cannot give them: nothing is staged or
// started then.
struct StagingPath {
  std::string path;
  DirectoryIdentity temporaryDirectory;  // for the lock, however TEMP is spelled
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
  const std::optional<OpenedIdentity> identity = IdentityOfPath(wideTemp);
  if (!identity || (identity->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    const DWORD error = identity ? static_cast<DWORD>(ERROR_DIRECTORY) : GetLastError();
    DebugPrint("Launcher: The temporary directory %s cannot be opened as a directory (error %d); nothing is staged "
               "or started.",
               base.c_str(), static_cast<int>(error));
    // A name that leads to no directory: the staging directory's path is not found.
    const bool noDirectory = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                             error == ERROR_INVALID_NAME || error == ERROR_DIRECTORY || error == 0;
    return {{}, {}, noDirectory ? static_cast<DWORD>(ERROR_PATH_NOT_FOUND) : error};
  }
  return {*staging, identity->identity, 0};
}

// What the programs run from: the staging directory, and what it must hold
// when the next one starts.
struct StagedCopy {
  const StagingRoot& root;
  std::vector<StagedEntry> expected;
  StagingCheck check = StagingCheck::kFirstStart;
};

// Starts one program and waits for it; its exit code, or the reason it
// could not be started.
ProgramRun StartAndWait(const std::string& programPath, const std::string& commandLine) {
  rav::ProcessStartA start;
  start.application = programPath;
  start.commandLine = commandLine;
  start.inheritHandles = true;
  ProgramRun run;
  {
    const rav::StartedProcess started = rav::StartProcessA(start);
    if (started.ok()) {
      run.started = true;
      DWORD exitCode = 0;
      DWORD error = 0;
      bool known = false;
      if (started->Wait(INFINITE) == WAIT_FAILED) {
        error = GetLastError();
        DebugPrint("Failed to wait for the process.");
      } else {
        DebugPrint("Finished waiting for the process.");
        known = started->ExitCode(exitCode);
        if (!known) error = GetLastError();
      }
      // Without its exit code the program's answer is unknown: not a success.
      run.code = known ? exitCode : error != 0 ? error : static_cast<DWORD>(ERROR_INVALID_HANDLE);
    } else {
      run.code = started.error() != 0 ? started.error() : static_cast<DWORD>(ERROR_INVALID_HANDLE);
      DebugPrint("CreateProcess() failed to create and launch process: %s.", programPath.c_str());
    }
  }  // the program's handles close here, before its last error is logged
  DebugPrint("%s returned 0x%08x\n", programPath.c_str(), static_cast<unsigned>(GetLastError()));
  return run;
}

// Forms the entry's texts, checks that the staging directory holds what was
// staged, and runs the program.
ProgramRun RunEntry(int index, char* value, const std::string& argumentText, const std::string& launcherDirectory,
                    StagedCopy& staged) {
  const std::string& stagingDirectory = staged.root.path();
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
    return {false, ERROR_FILENAME_EXCED_RANGE};
  }
  DebugPrint("Launch String: %s\n", programPath->c_str());

  std::optional<std::string> entryArguments;
  if (arguments != nullptr) entryArguments = arguments;
  const std::optional<std::string> commandLine = CommandLineText(entryArguments, argumentText);
  if (!commandLine) {
    DebugPrint("Launcher: The command line for %s does not fit in %d characters; it is not started.",
               programPath->c_str(), static_cast<int>(kCommandBufferSize - 1));
    return {false, ERROR_FILENAME_EXCED_RANGE};
  }
  DebugPrint("Commandline: %s\n", commandLine->c_str());

  // Started only from a directory that holds what was staged, as it was
  // staged: nothing swapped, changed or put beside it since.
  std::vector<StagedEntry> found = ListStagedTree(stagingDirectory);
  if (const std::optional<std::string> change = FindStagingChange(staged.expected, found, staged.check)) {
    DebugPrint("Launcher: %s no longer holds just what was staged (%s); %s is not started.", stagingDirectory.c_str(),
               change->c_str(), programPath->c_str());
    return {false, ERROR_FILE_INVALID};
  }
  if (staged.check == StagingCheck::kFirstStart) {
    staged.expected = std::move(found);
    staged.check = StagingCheck::kLaterStart;
  }
  return StartAndWait(*programPath, *commandLine);
}

// Logs which number is the entry's result, and why.
void LogResult(const SetupResult& result, const StatusReading& after) {
  switch (result.source) {
    case ResultSource::kErrorCode:
      if (result.code != 0) DebugPrint("Error occured. Return Code: %d", static_cast<int>(result.code));
      break;
    case ResultSource::kExitCode:
      if (after.valueRead) {
        DebugPrint("Launcher: The program did not write ErrorCode (it holds %d from before); its exit code %u "
                   "(0x%08X) is the result.",
                   static_cast<int>(after.value), static_cast<unsigned>(result.code),
                   static_cast<unsigned>(result.code));
      } else {
        DebugPrint("Launcher: The program left no ErrorCode; its exit code %u (0x%08X) is the result.",
                   static_cast<unsigned>(result.code), static_cast<unsigned>(result.code));
      }
      break;
    case ResultSource::kStartError:
      DebugPrint("Launcher: The program was not started; its start error %d is the result.",
                 static_cast<int>(result.code));
      break;
  }
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
                    StagedCopy& staged, bool checkErrors) {
  const StatusReading runStart = GetSetupErrorCode(false);
  DWORD lastResult = 0;
  bool anyEntry = false;
  bool done = false;
  for (int index = 0; !done && index < INT_MAX; ++index) {
    char value[kEntryBufferSize] = {};
    const std::string key = LaunchKey(index);
    const DWORD length = GetPrivateProfileStringA("LAUNCHLIST", key.c_str(), "", value, sizeof value, iniPath.c_str());
    if (length == 0) break;
    anyEntry = true;

    const StatusReading before = GetSetupErrorCode(false);
    ProgramRun run;
    if (EntryWasCut(iniPath, key, length)) {
      // A cut command line could run the program with the wrong arguments.
      DebugPrint("Launcher: %s in %s is longer than %d characters; it is not started.", key.c_str(), iniPath.c_str(),
                 static_cast<int>(kEntryBufferSize - 1));
      run = {false, ERROR_FILENAME_EXCED_RANGE};
    } else {
      run = RunEntry(index, value, argumentText, launcherDirectory, staged);
    }
    if (checkErrors) done = true;

    const StatusReading after = GetSetupErrorCode(true);
    const SetupResult result = DecideSetupResult(runStart, before, after, run);
    LogResult(result, after);
    lastResult = result.code;
  }
  if (!anyEntry) {
    DebugPrint("Launcher: %s lists no program (LAUNCHLIST FILE0); nothing was started.", iniPath.c_str());
    return ExitCode::kNoProgramListed;
  }
  return PassedOn(lastResult);
}

}  // namespace

ExitCode RunLaunchList(const std::string& argumentText, const std::string& iniPath,
                       const std::string& launcherDirectory) {
  const bool checkErrors = ReadErrorChecking(iniPath);

  const StagingPath staging = ResolveStagingDirectory();
  if (staging.error != 0) return PassedOn(staging.error);
  // A leftover at the staging directory is removed before the copy: that
  // must never be the package itself or a directory that holds it, however
  // either path is spelled.
  if (PackageLiesIn(rav::AnsiToWide(launcherDirectory), rav::AnsiToWide(staging.path))) {
    DebugPrint("Launcher: The package in %s lies in the staging directory %s, which every run deletes; nothing is "
               "staged, deleted or started. Run Setup.exe from another folder.",
               launcherDirectory.c_str(), staging.path.c_str());
    return ExitCode::kPackageInStaging;
  }
  const StagingLock lock(staging.temporaryDirectory);
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

  const rav::Result<StagingSecurity> security = StagingSecurity::For(nullptr);
  if (!security) {
    DebugPrint("Launcher: The staging directory's security could not be made. Reason: %d; nothing is staged or "
               "started.",
               static_cast<int>(security.error()));
    return PassedOn(security.error() != 0 ? security.error() : static_cast<DWORD>(ERROR_INVALID_SECURITY_DESCR));
  }
  rav::Result<StagingRoot> directory = MakeStagingDirectory(staging.path, kMaxPathChars, *security);
  if (!directory) {
    DebugPrint("Launcher: No staging directory could be made (error %d); nothing is started.",
               static_cast<int>(directory.error()));
    return PassedOn(directory.error());
  }

  StagedCopy staged{*directory, {}};
  const DWORD copied = CopySetupFiles(launcherDirectory, *directory, *security, staged.expected);
  ExitCode result;
  if (copied != 0) {
    // Running from a part of the package could install the wrong thing.
    DebugPrint("Launcher: The package could not be staged completely (error %d); nothing is started.",
               static_cast<int>(copied));
    result = PassedOn(copied);
  } else {
    result = RunEntries(argumentText, iniPath, launcherDirectory, staged, checkErrors);
  }

  CleanupSetupFiles(*directory, staged.expected);
  return result;
}

}  // namespace launcher
