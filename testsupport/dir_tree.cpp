#include "testsupport/dir_tree.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace testsupport {
namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  for (;;) {
    path_ = fs::path(temp) / (L"ravtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64() % 100000) + L"-" + std::to_wstring(counter++));
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
  }
}

TempDir::~TempDir() { ForceRemoveTree(path_); }

void WriteFile(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteTree(const fs::path& root, const std::vector<TreeEntry>& entries) {
  for (const TreeEntry& entry : entries) {
    const fs::path path = root / fs::path(entry.path).make_preferred();
    if (entry.content) {
      WriteFile(path, *entry.content);
    } else {
      fs::create_directories(path);
    }
  }
}

Tree ReadTree(const fs::path& root) {
  Tree tree;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    const std::string relative = fs::relative(it->path(), root).generic_string();
    if (it->is_directory()) {
      tree[relative] = std::nullopt;
    } else {
      tree[relative] = ReadFile(it->path());
    }
  }
  return tree;
}

Tree ToTree(const std::vector<TreeEntry>& entries) {
  Tree tree;
  for (const TreeEntry& entry : entries) {
    // Parent directories are part of the tree too.
    for (fs::path parent = fs::path(entry.path).parent_path(); !parent.empty(); parent = parent.parent_path()) {
      tree.emplace(parent.generic_string(), std::nullopt);
    }
    tree[entry.path] = entry.content;
  }
  return tree;
}

void ForceRemoveTree(const fs::path& root) {
  std::error_code error;
  if (!fs::exists(root, error)) return;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  fs::remove_all(root, error);
}

}  // namespace testsupport
