#include "testsupport/host_side.h"

#include <windows.h>

#include "common/process_start.h"
#include "common/win_resources.h"

namespace testsupport {
namespace fs = std::filesystem;
namespace {

// Starts a host program (Wine starts one as a Unix process, whose end its
// handle does not tell): the caller looks for what it did.
void StartHostProgram(const std::wstring& commandLine) {
  rav::ProcessStartW start;
  start.commandLine = commandLine;
  static_cast<void>(rav::StartProcessW(start));  // not waited for: its handles close at once
}

bool Exists(const fs::path& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

template <typename Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 100 && !done(); ++i) Sleep(50);
  return done();
}

// The platform's link, else the host's; `made` tells when one is there.
template <typename Made>
bool MakeLink(const fs::path& link, const fs::path& target, DWORD flags, Made made) {
  CreateSymbolicLinkW(link.c_str(), target.c_str(), flags | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  if (IsReparsePoint(link)) return true;
  const std::wstring hostLink = HostPath(link);
  const std::wstring hostTarget = HostPath(target);
  if (hostLink.empty() || hostTarget.empty()) return false;
  StartHostProgram(L"Z:\\bin\\ln -s \"" + hostTarget + L"\" \"" + hostLink + L"\"");
  return WaitFor(made);
}

}  // namespace

std::wstring HostPath(const fs::path& path) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixFileName == nullptr) return {};
  // Wine hands out the name from the process heap.
  const rav::UniqueHeapBlock name(unixFileName(path.c_str()));
  if (!name) return {};
  const std::string narrow(static_cast<const char*>(name.get()));
  return std::wstring(narrow.begin(), narrow.end());
}

bool IsReparsePoint(const fs::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool MakeDirectoryLink(const fs::path& link, const fs::path& target) {
  return MakeLink(link, target, SYMBOLIC_LINK_FLAG_DIRECTORY, [&link] { return IsReparsePoint(link); });
}

bool MakeFileLink(const fs::path& link, const fs::path& target) {
  return MakeLink(link, target, 0, [&link] { return Exists(link); });
}

void RemoveLink(const fs::path& link) {
  const std::wstring hostLink = HostPath(link);
  if (hostLink.empty()) {
    if (!RemoveDirectoryW(link.c_str())) DeleteFileW(link.c_str());
    return;
  }
  StartHostProgram(L"Z:\\bin\\rm -f \"" + hostLink + L"\"");
  WaitFor([&link] { return !Exists(link); });
}

bool MoveOnHost(const fs::path& from, const fs::path& to) {
  const std::wstring hostFrom = HostPath(from);
  const std::wstring hostTo = HostPath(to);
  if (hostFrom.empty() || hostTo.empty()) return false;
  StartHostProgram(L"Z:\\bin\\mv \"" + hostFrom + L"\" \"" + hostTo + L"\"");
  return WaitFor([&from, &to] { return !Exists(from) && Exists(to); });
}

}  // namespace testsupport
