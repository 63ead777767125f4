#pragma once
// Directories by identity, not by spelling: what a handle says a directory
// is, and where it really lies.
#include <windows.h>

#include <optional>
#include <string>

#include "launcher/core/staging_rules.h"

namespace launcher {

struct OpenedIdentity {
  DirectoryIdentity identity;
  DWORD attributes = 0;  // as the handle reports them
};

// The identity of what the handle has open.
std::optional<OpenedIdentity> IdentityOf(HANDLE handle);

// The identity of what `path` names, through the links on the way; with
// `openLink` a link at the path itself is opened as the link where the
// platform can (some report its target even so).
std::optional<OpenedIdentity> IdentityOfPath(const std::wstring& path, bool openLink = false);

// Where the file or directory really lies ("\\?\C:\..."), links resolved;
// empty where the platform cannot tell (it has no such call before Windows
// Vista, nor file links to resolve).
std::wstring FinalPath(HANDLE handle);
// Whether FinalPath can answer here.
bool CanResolveLinks();

// Whether the directory `package` is the one at `staging`, or lies below it,
// compared by identity: every directory above the package, as its path
// spells it and where it really lies, against the one at `staging` (a link
// there counts as itself where the platform can tell). False when nothing is
// at `staging`.
bool PackageLiesIn(const std::wstring& package, const std::wstring& staging);

}  // namespace launcher
