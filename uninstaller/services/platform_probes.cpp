#include "uninstaller/services/platform_probes.h"

#include <windows.h>

#include <vector>

#include "common/scoped_reverters.h"
#include "common/win_resources.h"

namespace ravuninst {
namespace {

rav::UniqueHandle OpenQueryToken() {
  rav::UniqueHandle token;
  if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) return token;
  if (GetLastError() != ERROR_NO_TOKEN) return {};
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put());
  return token;
}

}  // namespace

bool IsUserAdmin() {
  // The check reads the thread's own token; it ends however the check leaves.
  const rav::ImpersonationReverter impersonation(ImpersonateSelf(SecurityImpersonation));
  rav::UniqueHandle token = OpenQueryToken();
  if (!token) return false;

  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  rav::UniqueSid administrators;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                0, 0, administrators.put())) {
    return false;
  }

  // A zeroed block for the descriptor (20 bytes in a 32-bit process).
  alignas(void*) BYTE descriptorBlock[SECURITY_DESCRIPTOR_MIN_LENGTH] = {};
  PSECURITY_DESCRIPTOR descriptor = descriptorBlock;
  if (!InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;

  const DWORD aclSize = GetLengthSid(administrators.get()) + 16;
  std::vector<BYTE> aclBlock(aclSize);
  PACL acl = reinterpret_cast<PACL>(aclBlock.data());
  constexpr DWORD kAccessRead = 1;
  constexpr DWORD kAccessWrite = 2;
  if (!InitializeAcl(acl, aclSize, ACL_REVISION2) ||
      !AddAccessAllowedAce(acl, ACL_REVISION2, kAccessRead | kAccessWrite, administrators.get()) ||
      !SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE) ||
      !SetSecurityDescriptorGroup(descriptor, administrators.get(), FALSE) ||
      !SetSecurityDescriptorOwner(descriptor, administrators.get(), FALSE) || !IsValidSecurityDescriptor(descriptor)) {
    return false;
  }

  GENERIC_MAPPING mapping = {kAccessRead, kAccessWrite, 0, kAccessRead | kAccessWrite};
  alignas(DWORD) BYTE privilegesBlock[20] = {};
  DWORD privilegesSize = sizeof privilegesBlock;
  DWORD granted = 0;
  BOOL accessStatus = FALSE;
  if (!AccessCheck(descriptor, token.get(), kAccessRead, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privilegesBlock),
                   &privilegesSize, &granted, &accessStatus)) {
    return false;
  }
  return accessStatus != FALSE;
}

bool IsWow64() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleW(L"kernel32");
  const auto isWow64Process =
      reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
  if (isWow64Process == nullptr) return false;
  BOOL wow64 = FALSE;
  if (!isWow64Process(GetCurrentProcess(), &wow64)) return false;
  return wow64 == TRUE;
}

bool IsNtPlatform() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace ravuninst
