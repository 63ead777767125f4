#pragma once
// What a test does to files from outside the platform's rules. Wine's
// CreateSymbolicLink makes no link, and a program of the host (the Linux
// side) is bound by none of Wine's sharing rules; Wine starts a host program
// named by its Z: path. On Windows the platform's own calls serve, and
// what only the host can do is not done.
#include <filesystem>
#include <string>

namespace testsupport {

// The host's path of a Windows path, under Wine; empty elsewhere.
std::wstring HostPath(const std::filesystem::path& path);

// True when the platform shows `path` as a reparse point.
bool IsReparsePoint(const std::filesystem::path& path);

// A directory link at `link` to `target`: the platform's own where it makes
// one, under Wine from the host side. True when the platform shows it as a
// reparse point.
bool MakeDirectoryLink(const std::filesystem::path& link, const std::filesystem::path& target);

// A file link at `link` to `target`, the same way. Under Wine the platform
// shows it with its target's attributes; true when something is there.
bool MakeFileLink(const std::filesystem::path& link, const std::filesystem::path& target);

// Removes the link itself: under Wine from the host side again (Wine's
// RemoveDirectory would remove an empty target through it, and DeleteFile
// the target of a file link).
void RemoveLink(const std::filesystem::path& link);

// Renames `from` to `to` from the host side, past every handle the
// platform's programs hold; false where there is no host (Windows).
bool MoveOnHost(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace testsupport
