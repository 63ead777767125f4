#pragma once
// Directory trees for tests: a scratch directory that removes itself, writing
// a tree from a list of entries and reading one back for comparison.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A fresh directory under the temporary directory, removed with everything in
// it (read-only files too) when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// One entry of a tree: a relative path with "/" separators and the file's
// content, or no content for a directory.
struct TreeEntry {
  std::string path;
  std::optional<std::string> content;
  bool operator==(const TreeEntry&) const = default;
};
using Tree = std::map<std::string, std::optional<std::string>>;

void WriteTree(const std::filesystem::path& root, const std::vector<TreeEntry>& entries);
// Every file and directory below `root`, by relative path ("a/b/c.txt").
Tree ReadTree(const std::filesystem::path& root);
Tree ToTree(const std::vector<TreeEntry>& entries);

void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

// Removes a tree even when some files in it are read-only.
void ForceRemoveTree(const std::filesystem::path& root);

}  // namespace testsupport
