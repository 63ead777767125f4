#include "testsupport/test_paths.h"

#include <windows.h>

#include <vector>

namespace testsupport {

std::filesystem::path ThisProgram() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::filesystem::path(std::wstring(buffer.data(), length));
}

std::filesystem::path BinDir() { return ThisProgram().parent_path(); }

std::filesystem::path BinPath(std::wstring_view fileName) { return BinDir() / fileName; }

}  // namespace testsupport
