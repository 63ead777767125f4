#pragma once
// The staging directory: a copy of the launcher's directory tree under the
// temporary directory, which the listed programs run from, and its removal.
#include <windows.h>

#include <string>
#include <vector>

#include "common/core/result.h"
#include "launcher/core/staged_tree.h"
#include "launcher/staging_root.h"
#include "launcher/staging_security.h"

namespace launcher {

// Copies every file and subdirectory under `source` into the staging
// directory, which this run made and holds. Returns 0 or the system error
// code of the step that failed. Every file and subdirectory is made new:
// a name that is already taken (someone else's file or link, put there
// while the copy ran) fails the copy rather than being written through.
// Directories whose names start with "." are left out, and so are directory
// links and the staging directory itself (when the temporary directory lies
// inside the package), so the copy never leaves the package or feeds on its
// own output. `staged` gets what was made, in the order it was made.
DWORD CopySetupFiles(const std::string& source, const StagingRoot& destination, const StagingSecurity& security,
                     std::vector<StagedEntry>& staged);

// Deletes the staging directory with everything in it, but only after
// checking by handle that its path still names the directory this run made:
// when it does not (someone put a link or another directory in its place),
// nothing is deleted and the reason is logged. Links inside are removed as
// links where that works without following them; where it does not, they
// and the tree around them stay. When the directory holds more than
// `staged`, each file is first checked to lie where it is listed. The
// directory is let go of on the way.
void CleanupSetupFiles(StagingRoot& directory, const std::vector<StagedEntry>& staged);

// The directory this run stages into, made by this run: `base`, after
// removing a leftover there, or when anything of the leftover stays the first
// "<base>.1" to "<base>.99" that can be made. The error is the system's when
// none can be made (ERROR_CANNOT_MAKE when every name is taken).
rav::Result<StagingRoot> MakeStagingDirectory(const std::string& base, std::size_t maxChars,
                                              const StagingSecurity& security);

}  // namespace launcher
