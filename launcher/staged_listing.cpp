#include "launcher/staged_listing.h"

#include "common/win_resources.h"

namespace launcher {
namespace {

std::uint64_t Combined(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

void ListInto(const std::string& root, const std::string& relative, std::vector<StagedEntry>& entries) {
  const std::string directory = relative.empty() ? root : root + "\\" + relative;
  WIN32_FIND_DATAA entry;
  rav::UniqueFindHandle listing(FindFirstFileA((directory + "\\*").c_str(), &entry));
  if (!listing) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = relative.empty() ? name : relative + "\\" + name;
    const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (isDirectory) {
      entries.push_back({path, true, isLink, 0, 0});
      if (!isLink) ListInto(root, path, entries);
    } else {
      StagedEntry file = StagedFile(path, entry);
      file.link = isLink;
      entries.push_back(std::move(file));
    }
  } while (FindNextFileA(listing.get(), &entry));
}

}  // namespace

std::vector<StagedEntry> ListStagedTree(const std::string& root) {
  std::vector<StagedEntry> entries;
  ListInto(root, "", entries);
  return entries;
}

StagedEntry StagedFile(const std::string& relativePath, const WIN32_FIND_DATAA& source) {
  return {relativePath, false, false, Combined(source.nFileSizeHigh, source.nFileSizeLow),
          Combined(source.ftLastWriteTime.dwHighDateTime, source.ftLastWriteTime.dwLowDateTime)};
}

}  // namespace launcher
