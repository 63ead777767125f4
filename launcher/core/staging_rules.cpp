#include "launcher/core/staging_rules.h"

namespace launcher {
namespace {

constexpr std::size_t kNone = std::u16string_view::npos;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsUncMarker(std::u16string_view text) {
  return text.size() == 4 && (text[0] == u'U' || text[0] == u'u') && (text[1] == u'N' || text[1] == u'n') &&
         (text[2] == u'C' || text[2] == u'c') && text[3] == u'\\';
}

// The length of a full path's root with its closing backslash ("C:\",
// "\\server\share\", their "\\?\" forms), or kNone for another shape.
std::size_t RootLength(std::u16string_view path) {
  std::size_t at = 0;
  bool share = false;
  if (path.substr(0, 4) == u"\\\\?\\") {
    at = 4;
    if (IsUncMarker(path.substr(4, 4))) {
      at = 8;
      share = true;
    }
  } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    at = 2;
    share = true;
  }
  if (!share) {
    return path.size() >= at + 3 && path[at + 1] == u':' && IsSeparator(path[at + 2]) ? at + 3 : kNone;
  }
  const std::size_t server = path.find_first_of(u"\\/", at);
  if (server == kNone || server == at) return kNone;
  const std::size_t shareEnd = path.find_first_of(u"\\/", server + 1);
  if (shareEnd == server + 1) return kNone;
  return shareEnd == kNone ? path.size() : shareEnd + 1;
}

}  // namespace

std::vector<std::u16string> PathAndParents(std::u16string_view path) {
  const std::size_t root = RootLength(path);
  if (root == kNone) return {std::u16string(path)};
  while (path.size() > root && IsSeparator(path.back())) path.remove_suffix(1);
  std::vector<std::u16string> paths;
  for (;;) {
    paths.emplace_back(path);
    if (path.size() <= root) break;
    const std::size_t separator = path.find_last_of(u"\\/");
    path = path.substr(0, separator < root ? root : separator);
  }
  return paths;
}

std::optional<std::u16string> NativePath(std::u16string_view fullPath) {
  if (fullPath.substr(0, 4) == u"\\\\?\\" || fullPath.substr(0, 4) == u"\\\\.\\") {
    return u"\\??\\" + std::u16string(fullPath.substr(4));
  }
  std::u16string native;
  if (fullPath.size() >= 3 && fullPath[1] == u':' && IsSeparator(fullPath[2])) {
    native = u"\\??\\" + std::u16string(fullPath);
  } else if (fullPath.size() >= 3 && IsSeparator(fullPath[0]) && IsSeparator(fullPath[1]) &&
             !IsSeparator(fullPath[2])) {
    native = u"\\??\\UNC\\" + std::u16string(fullPath.substr(2));
  } else {
    return std::nullopt;
  }
  for (char16_t& c : native) {
    if (c == u'/') c = u'\\';
  }
  return native;
}

std::optional<std::string> StagingSibling(std::string_view base, int n, std::size_t maxChars) {
  if (n < 1 || n > kMaxStagingSiblings) return std::nullopt;
  std::string name(base);
  name.append(".").append(std::to_string(n));
  if (name.size() > maxChars) return std::nullopt;
  return name;
}

std::u16string StagingLockName(const DirectoryIdentity& temporaryDirectory) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string name = u"Local\\RavWLSetup.";
  for (int shift = 28; shift >= 0; shift -= 4) name.push_back(kDigits[(temporaryDirectory.volumeSerial >> shift) & 0xF]);
  name.push_back(u'.');
  for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kDigits[(temporaryDirectory.fileIndex >> shift) & 0xF]);
  return name;
}

}  // namespace launcher
