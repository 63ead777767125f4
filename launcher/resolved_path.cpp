#include "launcher/resolved_path.h"

#include <windows.h>

#include <vector>

#include "common/wide_text.h"

namespace launcher {
namespace {

// Calls `get(buffer, size)` with a buffer that grows until the answer fits.
template <typename Get>
std::wstring GrowingCall(Get get) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
  return std::wstring();
}

}  // namespace

std::u16string FoldedFullPath(const std::wstring& path) {
  std::wstring full =
      GrowingCall([&path](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
  if (full.empty()) full = path;
  const std::wstring longForm =
      GrowingCall([&full](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full.c_str(), buffer, size); });
  std::wstring folded = longForm.empty() ? full : longForm;
  if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  return std::u16string(rav::as_u16cstr(folded.c_str()), folded.size());
}

}  // namespace launcher
