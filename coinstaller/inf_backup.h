#pragma once
// The backup of the driver's installed INF in the system directory, which
// device removal later deletes. Every installation replaces it.
#include <windows.h>

#include <string>

#include "coinstaller/windows_directory.h"
#include "common/core/result.h"

namespace coinstaller {

// Copies "<windows>\Inf\<InfPath>" to "<windows>\System32\<InfPath>". Both
// paths are formed from `windows` only: a directory that could not be read
// forms none, and nothing is copied.
void BackUpInfFile(HKEY driverKey, const WindowsDirectory& windows);

// Copies `source` over the backup at `backup`, or deletes the backup. The
// backup is the co-installer's own file: when it is read-only (CopyFileA
// gives the copy the installed INF's attributes, so it may be without anyone
// meaning it) and the platform refuses for that reason, the attribute is
// cleared and the operation tried once more. When that fails too the
// attribute is put back. A failure carries the failing call's error.
rav::Result<void> ReplaceInfBackup(const std::string& source, const std::string& backup);
rav::Result<void> DeleteInfBackup(const std::string& backup);

}  // namespace coinstaller
