#pragma once
// Deleting a directory tree with the plain file calls, never through a link.
#include <windows.h>

#include <optional>
#include <string>

namespace launcher {

// Deletes what is below `directory` with the plain file calls. A link in it
// (its listing shows a reparse point) is removed as a link, which removes
// nothing it points to, or left where that cannot be done without following
// it; read-only files go too. With `checkFiles` each file is first opened to
// see where it really is, and one that lies elsewhere is left: some systems
// list a file link with its target's attributes and delete the target
// through it. False when something was left that must not be deleted
// through; what is left is logged.
bool DeleteContents(const std::string& directory, bool checkFiles);

// Removes `directory` once DeleteContents has emptied it (`contentsGone`),
// or logs why it stays.
void RemoveEmptiedDirectory(const std::string& directory, bool contentsGone);

// The directory entry itself, as a listing shows it (some systems report a
// link's target through GetFileAttributes).
std::optional<DWORD> EntryAttributes(const std::string& path);

}  // namespace launcher
