#include "launcher/staging_security.h"

#include "common/win_resources.h"

namespace launcher {
namespace {

using Bytes = std::vector<BYTE>;

rav::Result<Bytes> WellKnownSid(WELL_KNOWN_SID_TYPE type) {
  Bytes sid(SECURITY_MAX_SID_SIZE);
  DWORD size = static_cast<DWORD>(sid.size());
  if (!CreateWellKnownSid(type, nullptr, sid.data(), &size)) return rav::Failure{GetLastError()};
  sid.resize(size);
  return sid;
}

rav::Result<Bytes> TokenUserSid(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    return rav::Failure{GetLastError()};
  }
  const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  const BYTE* const first = static_cast<const BYTE*>(sid);
  return Bytes(first, first + GetLengthSid(sid));
}

// Whether Administrators is an enabled group of the token (a filtered
// token has it for denying only).
rav::Result<bool> IsElevated(HANDLE token, const Bytes& administrators) {
  // The call takes an impersonation token, or none for this thread's.
  rav::UniqueHandle impersonation;
  if (token != nullptr && !DuplicateToken(token, SecurityIdentification, impersonation.put())) {
    return rav::Failure{GetLastError()};
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(impersonation.get(), const_cast<BYTE*>(administrators.data()), &member)) {
    return rav::Failure{GetLastError()};
  }
  return member != FALSE;
}

rav::Result<Bytes> SelfRelative(SECURITY_DESCRIPTOR& absolute) {
  DWORD size = 0;
  MakeSelfRelativeSD(&absolute, nullptr, &size);
  Bytes descriptor(size);
  if (size == 0 || !MakeSelfRelativeSD(&absolute, descriptor.data(), &size)) return rav::Failure{GetLastError()};
  return descriptor;
}

// A descriptor with this owner and, when `acl` is given, this protected DACL.
rav::Result<Bytes> Descriptor(const Bytes& owner, ACL* acl) {
  SECURITY_DESCRIPTOR absolute;
  if (!InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorOwner(&absolute, const_cast<BYTE*>(owner.data()), FALSE)) {
    return rav::Failure{GetLastError()};
  }
  if (acl != nullptr && (!SetSecurityDescriptorDacl(&absolute, TRUE, acl, FALSE) ||
                         !SetSecurityDescriptorControl(&absolute, SE_DACL_PROTECTED, SE_DACL_PROTECTED))) {
    return rav::Failure{GetLastError()};
  }
  return SelfRelative(absolute);
}

}  // namespace

rav::Result<StagingSecurity> StagingSecurity::For(HANDLE token) {
  rav::UniqueHandle own;
  if (token == nullptr) {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.put())) {
      return rav::Failure{GetLastError()};
    }
  }
  const HANDLE queried = token != nullptr ? token : own.get();
  const rav::Result<Bytes> system = WellKnownSid(WinLocalSystemSid);
  if (!system) return rav::Failure{system.error()};
  const rav::Result<Bytes> administrators = WellKnownSid(WinBuiltinAdministratorsSid);
  if (!administrators) return rav::Failure{administrators.error()};
  const rav::Result<Bytes> user = TokenUserSid(queried);
  if (!user) return rav::Failure{user.error()};
  const rav::Result<bool> elevated = IsElevated(token, *administrators);
  if (!elevated) return rav::Failure{elevated.error()};

  constexpr DWORD kInherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  const DWORD userAccess = *elevated ? FILE_GENERIC_READ | FILE_GENERIC_EXECUTE : FILE_ALL_ACCESS;
  const DWORD aclSize = static_cast<DWORD>(sizeof(ACL) + 3 * (sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD)) +
                                           system->size() + administrators->size() + user->size());
  Bytes acl(aclSize);
  ACL* const dacl = reinterpret_cast<ACL*>(acl.data());
  if (!InitializeAcl(dacl, aclSize, ACL_REVISION) ||
      !AddAccessAllowedAceEx(dacl, ACL_REVISION, kInherited, FILE_ALL_ACCESS, const_cast<BYTE*>(system->data())) ||
      !AddAccessAllowedAceEx(dacl, ACL_REVISION, kInherited, FILE_ALL_ACCESS,
                             const_cast<BYTE*>(administrators->data())) ||
      !AddAccessAllowedAceEx(dacl, ACL_REVISION, kInherited, userAccess, const_cast<BYTE*>(user->data()))) {
    return rav::Failure{GetLastError()};
  }
  const Bytes& owner = *elevated ? *administrators : *user;
  rav::Result<Bytes> directory = Descriptor(owner, dacl);
  if (!directory) return rav::Failure{directory.error()};
  rav::Result<Bytes> inside = Descriptor(owner, nullptr);
  if (!inside) return rav::Failure{inside.error()};

  StagingSecurity security;
  security.directory_ = std::move(*directory);
  security.inside_ = std::move(*inside);
  security.elevated_ = *elevated;
  return security;
}

}  // namespace launcher
