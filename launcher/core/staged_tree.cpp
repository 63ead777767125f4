#include "launcher/core/staged_tree.h"

#include <map>

namespace launcher {
namespace {

// FAT keeps a file's last write time in 2-second steps.
constexpr std::uint64_t kFatTimeStep = 2 * 10000000ull;

std::uint64_t Distance(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; }

}  // namespace

std::optional<std::string> FindStagingChange(const std::vector<StagedEntry>& expected,
                                             const std::vector<StagedEntry>& found, StagingCheck check) {
  std::map<std::string, const StagedEntry*> byPath;
  for (const StagedEntry& entry : found) byPath.emplace(entry.path, &entry);
  const std::uint64_t tolerance = check == StagingCheck::kFirstStart ? kFatTimeStep : 0;
  for (const StagedEntry& wanted : expected) {
    const auto at = byPath.find(wanted.path);
    if (at == byPath.end()) return wanted.path + " is missing";
    const StagedEntry& seen = *at->second;
    if (seen.link || seen.directory != wanted.directory) return wanted.path + " was replaced";
    if (!wanted.directory &&
        (seen.size != wanted.size || Distance(seen.lastWriteTime, wanted.lastWriteTime) > tolerance)) {
      return wanted.path + " was changed";
    }
    byPath.erase(at);
  }
  if (check == StagingCheck::kFirstStart && !byPath.empty()) return byPath.begin()->first + " was not staged";
  return std::nullopt;
}

}  // namespace launcher
