#include "launcher/directory_identity.h"

#include <vector>

#include "common/wide_text.h"
#include "common/win_resources.h"

namespace launcher {
namespace {

using GetFinalPathNameByHandleWFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

// Present from Windows Vista on; Windows XP has no file links to look through.
GetFinalPathNameByHandleWFunction FinalPathFunction() {
  static const auto function = reinterpret_cast<GetFinalPathNameByHandleWFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW")));
  return function;
}

rav::UniqueHandle OpenForIdentity(const std::wstring& path, bool openLink) {
  return rav::UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | (openLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                                       nullptr));
}

}  // namespace

std::optional<OpenedIdentity> IdentityOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return OpenedIdentity{
      {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow},
      info.dwFileAttributes};
}

std::optional<OpenedIdentity> IdentityOfPath(const std::wstring& path, bool openLink) {
  const rav::UniqueHandle handle = OpenForIdentity(path, openLink);
  if (!handle) return std::nullopt;
  return IdentityOf(handle.get());
}

std::wstring FinalPath(HANDLE handle) {
  const GetFinalPathNameByHandleWFunction finalPath = FinalPathFunction();
  if (finalPath == nullptr) return std::wstring();
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length = finalPath(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
  return std::wstring();
}

bool CanResolveLinks() { return FinalPathFunction() != nullptr; }

bool PackageLiesIn(const std::wstring& package, const std::wstring& staging) {
  const std::optional<OpenedIdentity> stagingIdentity = IdentityOfPath(staging, true);
  if (!stagingIdentity) return false;
  std::vector<std::u16string> candidates = PathAndParents(rav::as_u16cstr(package.c_str()));
  const rav::UniqueHandle opened = OpenForIdentity(package, false);
  if (opened) {
    const std::wstring real = FinalPath(opened.get());
    if (!real.empty()) {
      const std::vector<std::u16string> realParents = PathAndParents(rav::as_u16cstr(real.c_str()));
      candidates.insert(candidates.end(), realParents.begin(), realParents.end());
    }
  }
  for (const std::u16string& candidate : candidates) {
    const std::optional<OpenedIdentity> identity = IdentityOfPath(rav::as_wcstr(candidate));
    if (identity && identity->identity == stagingIdentity->identity) return true;
  }
  return false;
}

}  // namespace launcher
