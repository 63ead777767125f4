#pragma once
// What a run staged, and whether the staging directory still holds just
// that when a program is about to start from it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// One entry below the staging directory, as the copy made it or as a
// listing finds it.
struct StagedEntry {
  std::string path;                 // relative: "sub\setup.exe"
  bool directory = false;
  bool link = false;                // a reparse point: the copy never makes one
  std::uint64_t size = 0;           // files only
  std::uint64_t lastWriteTime = 0;  // files only, in 100-ns units
};

enum class StagingCheck {
  // Nothing has run yet: the directory holds exactly what was copied, each
  // file as large as its source and as old (within the 2 s a FAT volume
  // keeps).
  kFirstStart,
  // Programs of the list have run and may have added files: every entry
  // found before the first start is still there, unchanged.
  kLaterStart,
};

// The first difference between what `expected` lists and what `found` does,
// for the trace ("version.dll was not staged"); nothing when there is none.
std::optional<std::string> FindStagingChange(const std::vector<StagedEntry>& expected,
                                             const std::vector<StagedEntry>& found, StagingCheck check);

}  // namespace launcher
