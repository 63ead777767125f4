#include "uninstaller/services/module_path.h"

#include <vector>

#include "common/wide_text.h"
#include "uninstaller/services/core/basic_exception.h"

namespace ravuninst {

std::u16string GetModulePath(HMODULE module) {
  std::vector<wchar_t> path(MAX_PATH);
  DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  if (length == path.size()) {
    // Filled to the brim: ask again with room for longer paths.
    path.resize(MAX_PATH * 10);
    length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  }
  if (length == 0) RaiseUtilError(kModulePathError);
  return std::u16string(rav::as_u16cstr(path.data()), length);
}

}  // namespace ravuninst
