#include "launcher/staging_root.h"

#include <winternl.h>

#include <vector>

#include "common/ansi_text.h"
#include "common/wide_text.h"
#include "launcher/directory_identity.h"
#include "launcher/tree_removal.h"

namespace launcher {
namespace {

std::wstring FullPath(const std::wstring& path) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
  return path;
}

}  // namespace

rav::Result<StagingRoot> StagingRoot::Create(const std::string& path, const StagingSecurity& security) {
  // CreateDirectory and a later open would leave a moment in which the
  // name could be pointed elsewhere; the native call makes and opens the
  // directory at once (it has been there since the first Windows NT).
  const std::optional<std::u16string> native =
      NativePath(rav::as_u16cstr(FullPath(rav::AnsiToWide(path)).c_str()));
  if (!native || native->size() * sizeof(char16_t) > 0xFFFE) return rav::Failure{ERROR_BAD_PATHNAME};
  UNICODE_STRING name;
  name.Buffer = const_cast<wchar_t*>(rav::as_wcstr(*native));
  name.Length = static_cast<USHORT>(native->size() * sizeof(char16_t));
  name.MaximumLength = name.Length;
  SECURITY_ATTRIBUTES attributes = security.Directory();
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &name, OBJ_CASE_INSENSITIVE, nullptr, attributes.lpSecurityDescriptor);
  IO_STATUS_BLOCK io;
  HANDLE handle = nullptr;
  // Listing access takes part in sharing; the sharing leaves out delete.
  const NTSTATUS status = NtCreateFile(&handle, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &object,
                                       &io, nullptr, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       FILE_CREATE, FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (!NT_SUCCESS(status)) return rav::Failure{RtlNtStatusToDosError(status)};
  StagingRoot root;
  root.path_ = path;
  root.handle_.reset(handle);
  const std::optional<OpenedIdentity> identity = IdentityOf(handle);
  if (!identity) return rav::Failure{GetLastError()};
  root.identity_ = identity->identity;
  return root;
}

std::optional<std::string> StagingRoot::Changed() const {
  // The listing first: some systems report a link's target through a handle.
  const std::optional<DWORD> listed = EntryAttributes(path_);
  if (!listed) return "it is gone";
  if ((*listed & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return "it is a link now";
  const std::optional<OpenedIdentity> now = IdentityOfPath(rav::AnsiToWide(path_), true);
  if (!now) return "it cannot be opened";
  if ((now->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return "it is a link now";
  if (now->identity != identity_) return "it is another directory now";
  return std::nullopt;
}

}  // namespace launcher
