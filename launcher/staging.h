#pragma once
// The staging directory: a copy of the launcher's directory tree under the
// temporary directory, which the listed programs run from, and its removal.
#include <windows.h>

#include <optional>
#include <string>

namespace launcher {

// Copies every file and subdirectory under `source` into `destination`,
// creating it as needed. Returns 0 or the system error code of the step that
// failed. Directories whose names start with "." are left out, and so are
// directory links and the destination itself (when the temporary directory
// lies inside the package), so the copy never leaves the package or feeds on
// its own output.
DWORD CopySetupFiles(const std::string& source, const std::string& destination);

// Deletes `directory` with everything in it: plain file calls first, then
// the shell for whatever they left, the directory itself included; the
// shell's failure is logged. A tree that is or holds a link (junction,
// symbolic link) is left in place: deleting through a link can reach outside
// the staging directory.
void CleanupSetupFiles(const std::string& directory);

// The first link at or below `path` (not followed), if any.
std::optional<std::string> FindLink(const std::string& path);

}  // namespace launcher
