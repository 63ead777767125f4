#include "launcher/core/staging_rules.h"

namespace launcher {
namespace {

std::u16string_view WithoutTrailingSeparators(std::u16string_view path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.remove_suffix(1);
  return path;
}

}  // namespace

bool IsSameOrBelow(std::u16string_view path, std::u16string_view directory) {
  path = WithoutTrailingSeparators(path);
  directory = WithoutTrailingSeparators(directory);
  if (directory.empty() || path.size() < directory.size()) return false;
  if (path.substr(0, directory.size()) != directory) return false;
  // "C:\Temp\RavWLSetup2" shares the letters of "C:\Temp\RavWLSetup" but is
  // another directory: only a whole name ends the match.
  return path.size() == directory.size() || path[directory.size()] == u'\\' || path[directory.size()] == u'/';
}

std::optional<std::string> StagingSibling(std::string_view base, int n, std::size_t maxChars) {
  if (n < 1 || n > kMaxStagingSiblings) return std::nullopt;
  std::string name(base);
  name.append(".").append(std::to_string(n));
  if (name.size() > maxChars) return std::nullopt;
  return name;
}

std::uint64_t PathHash(std::u16string_view foldedPath) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char16_t unit : foldedPath) {
    hash ^= static_cast<std::uint8_t>(unit & 0xFF);
    hash *= 1099511628211ull;
    hash ^= static_cast<std::uint8_t>(unit >> 8);
    hash *= 1099511628211ull;
  }
  return hash;
}

std::u16string StagingLockName(std::u16string_view foldedPath) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string name = u"Local\\RavWLSetup.";
  const std::uint64_t hash = PathHash(WithoutTrailingSeparators(foldedPath));
  for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kDigits[(hash >> shift) & 0xF]);
  return name;
}

}  // namespace launcher
