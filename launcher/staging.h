#pragma once
// The staging directory: a copy of the launcher's directory tree under the
// temporary directory, which the listed programs run from, and its removal.
#include <windows.h>

#include <string>

namespace launcher {

// Copies every file and subdirectory under `source` into `destination`,
// creating it as needed. Returns 0 or the system error code of the step that
// failed. Directories whose names start with "." are left out, and so are
// directory links and the destination itself (when the temporary directory
// lies inside the package), so the copy never leaves the package or feeds on
// its own output.
DWORD CopySetupFiles(const std::string& source, const std::string& destination);

// Deletes `directory` with everything in it; a failure is logged.
void CleanupSetupFiles(const std::string& directory);

}  // namespace launcher
