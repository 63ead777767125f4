#pragma once
// Decisions about the staging directory that need no system call: which
// directories hold the package, the names of the staging directory's fresh
// siblings, and the name of the lock that keeps two runs out of one staging
// directory.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

// Siblings "RavWLSetup.1" to "RavWLSetup.99" are tried when a leftover keeps
// the fixed name.
inline constexpr int kMaxStagingSiblings = 99;

// A directory as the file system knows it: its volume's serial number and
// its file index there. Every spelling of one directory ("\\?\", another
// drive letter for the same folder, short names, letter case, "..") opens
// the same one.
struct DirectoryIdentity {
  std::uint32_t volumeSerial = 0;
  std::uint64_t fileIndex = 0;
  bool operator==(const DirectoryIdentity&) const = default;
};

// `path` and every directory above it, nearest first: "C:\a\b" gives
// "C:\a\b", "C:\a", "C:\". The root keeps its backslash; a drive root,
// "\\server\share\" and their "\\?\" forms are roots. A trailing backslash
// on `path` is ignored.
std::vector<std::u16string> PathAndParents(std::u16string_view path);

// The native (object manager) form of a full path: "C:\x" is "\??\C:\x",
// "\\server\share\x" is "\??\UNC\server\share\x", and "\\?\..." is
// "\??\...". Nothing for a path that is not full.
std::optional<std::u16string> NativePath(std::u16string_view fullPath);

// "<base>.<n>" for the n-th fresh sibling (1 to kMaxStagingSiblings), or
// nothing when n is out of range or the name does not fit `maxChars`.
std::optional<std::string> StagingSibling(std::string_view base, int n, std::size_t maxChars);

// "Local\RavWLSetup.<volume serial>.<file index>" (8 and 16 hex digits) from
// the identity of the temporary directory that holds the staging directory:
// one name per staging directory and session however its path is spelled,
// so runs with different temporary directories never wait for each other.
std::u16string StagingLockName(const DirectoryIdentity& temporaryDirectory);

}  // namespace launcher
