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
// shell's failure is logged. Links (junctions, symbolic links) are removed as
// links where that works without following them; where it does not, they and
// the tree around them stay: deleting through a link can reach outside the
// staging directory.
void CleanupSetupFiles(const std::string& directory);

// The directory this run stages into, made by this run: `base`, after
// removing a leftover there, or when anything of the leftover stays the first
// "<base>.1" to "<base>.99" that can be made. `error` is set instead when
// none can be made (ERROR_CANNOT_MAKE when every name is taken).
struct StagingChoice {
  std::string path;
  DWORD error = 0;
};
StagingChoice MakeStagingDirectory(const std::string& base, std::size_t maxChars);

}  // namespace launcher
