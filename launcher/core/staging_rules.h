#pragma once
// Decisions about the staging directory that need no system call: whether the
// package lies inside it, the names of its fresh siblings, and the name of the
// lock that keeps two runs out of one staging directory.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// Siblings "RavWLSetup.1" to "RavWLSetup.99" are tried when a leftover keeps
// the fixed name.
inline constexpr int kMaxStagingSiblings = 99;

// Whether `path` is `directory` or lies below it. Both are full paths in one
// letter case (the caller folds them), with backslashes; a trailing backslash
// on either is ignored, so "C:\" contains "C:\a".
bool IsSameOrBelow(std::u16string_view path, std::u16string_view directory);

// "<base>.<n>" for the n-th fresh sibling (1 to kMaxStagingSiblings), or
// nothing when n is out of range or the name does not fit `maxChars`.
std::optional<std::string> StagingSibling(std::string_view base, int n, std::size_t maxChars);

// 64-bit FNV-1a over the UTF-16 code units.
std::uint64_t PathHash(std::u16string_view foldedPath);

// "Local\RavWLSetup.<16 hex digits>" from the staging directory's full path in
// one letter case: one name per staging directory and session, so runs with
// different temporary directories never wait for each other.
std::u16string StagingLockName(std::u16string_view foldedPath);

}  // namespace launcher
