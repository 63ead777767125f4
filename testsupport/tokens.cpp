#include "testsupport/tokens.h"

namespace testsupport {

rav::UniqueHandle StandardUserToken() {
  rav::UniqueHandle processToken;
  OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, processToken.put());
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  rav::UniqueSid administrators;
  AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                           administrators.put());
  SID_AND_ATTRIBUTES denyOnly = {administrators.get(), 0};
  rav::UniqueHandle restricted;
  CreateRestrictedToken(processToken.get(), 0, 1, &denyOnly, 0, nullptr, 0, nullptr, restricted.put());
  return restricted;
}

}  // namespace testsupport
