#include "tools/bench/bench_package.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace bench {
namespace {

namespace fs = std::filesystem;

// Bytes that no file system compresses or shares: a simple generator.
std::string Noise(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed * 2654435761u + 1;
  for (char& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

bool WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// The data directories: a binary tree `depth` levels deep holds 2 + 4 + 8
// + 16 = 30 directories for depth 4; depth 1 is `count` siblings.
std::vector<fs::path> DataDirectories(const fs::path& root, const PackageShape& shape) {
  std::vector<fs::path> directories;
  if (shape.depth == 1) {
    for (int i = 0; i < shape.directories; ++i) directories.push_back(root / ("data" + std::to_string(i)));
    return directories;
  }
  std::vector<fs::path> level{root};
  for (int d = 0; d < shape.depth; ++d) {
    std::vector<fs::path> next;
    for (const fs::path& parent : level) {
      for (int i = 0; i < 2; ++i) next.push_back(parent / ("level" + std::to_string(d + 1) + "_" + std::to_string(i)));
    }
    directories.insert(directories.end(), next.begin(), next.end());
    level = next;
  }
  return directories;
}

}  // namespace

bool MakePackage(const fs::path& root, const PackageShape& shape, const fs::path& launcher, const fs::path& noop) {
  std::error_code error;
  if (!fs::create_directories(root, error)) return false;
  if (!fs::copy_file(launcher, root / L"Setup.exe", error) || !fs::copy_file(noop, root / kNoopProgram, error)) {
    return false;
  }
  {
    std::ofstream ini(root / L"launcher.ini", std::ios::binary);
    ini << "[OPTIONS]\r\nCHECKERROR=Y\r\n\r\n[LAUNCHLIST]\r\nFILE0=bench_noop.exe\r\n";
  }
  std::vector<fs::path> directories = DataDirectories(root, shape);
  if (directories.empty()) directories.push_back(root);
  unsigned seed = 0;
  for (const fs::path& directory : directories) {
    fs::create_directories(directory, error);
    for (int i = 0; i < shape.filesPerDirectory; ++i) {
      if (!WriteBytes(directory / ("file" + std::to_string(i) + ".bin"), Noise(shape.fileBytes, ++seed))) return false;
    }
  }
  return true;
}

TreeSize MeasureTree(const fs::path& root) {
  TreeSize size;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) {
      ++size.files;
      size.bytes += static_cast<std::size_t>(it->file_size(error));
    }
  }
  return size;
}

}  // namespace bench
