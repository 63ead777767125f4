#pragma once
// Generated driver packages for the staging benchmarks: the launcher as
// Setup.exe, a launcher.ini that starts a program which exits at once, and
// data files in one of three shapes.
#include <filesystem>
#include <string>

namespace bench {

struct PackageShape {
  const char* name;   // directory name and table label
  const char* label;  // what the table says of it
  int directories;    // below the root, in a tree `depth` levels deep
  int depth;
  int filesPerDirectory;
  std::size_t fileBytes;
};

// 20 files / 5 MB; 300 files in 4 levels / 60 MB; 3,000 small files / 30 MB.
inline constexpr PackageShape kPackageShapes[] = {
    {"small", "20 files, 5 MB", 0, 0, 20, 262144},
    {"deep", "300 files in 4 levels, 60 MB", 30, 4, 10, 200000},
    {"many", "3,000 small files, 30 MB", 10, 1, 300, 10000},
};

// The program that launcher.ini lists; it exits at once.
inline constexpr wchar_t kNoopProgram[] = L"bench_noop.exe";

// Writes the package into `root` (which must not exist yet): Setup.exe and
// bench_noop.exe copied from the given files, launcher.ini, and the data.
bool MakePackage(const std::filesystem::path& root, const PackageShape& shape, const std::filesystem::path& launcher,
                 const std::filesystem::path& noop);

// Files and bytes below `root`, for checking a copy.
struct TreeSize {
  std::size_t files = 0;
  std::size_t bytes = 0;
};
TreeSize MeasureTree(const std::filesystem::path& root);

}  // namespace bench
