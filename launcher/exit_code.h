#pragma once
// Every exit code Setup.exe chooses itself. Its other ways out pass a code
// on: the setup's "ErrorCode", a program's start error, or the system's
// error of the step that stopped the run.
#include <windows.h>

#include <cstdint>

namespace launcher {

enum class ExitCode : std::int32_t {
  kHelpShown = 0,
  kNoProgramListed = ERROR_FILE_NOT_FOUND,         // launcher.ini has no FILE0
  kPackageInStaging = ERROR_CURRENT_DIRECTORY,     // every run deletes the staging directory
  kNoStagingName = ERROR_CANNOT_MAKE,              // RavWLSetup and RavWLSetup.1 to .99 all taken
  kArgumentsTooLong = ERROR_BAD_ARGUMENTS,         // the 1,023-character argument text
  kPathTooLong = ERROR_FILENAME_EXCED_RANGE,       // a path or entry does not fit its buffer
  kNoAnsiName = ERROR_NO_UNICODE_TRANSLATION,      // nor a short name in the ANSI code page
  kAlreadyRunning = ERROR_INSTALL_ALREADY_RUNNING,  // another Setup.exe uses the staging directory
  kNoOwnDirectory = -1,                            // Setup.exe's own directory cannot be derived
};

// A code passed on as the exit code, as it is.
constexpr ExitCode PassedOn(DWORD code) { return static_cast<ExitCode>(code); }

}  // namespace launcher
