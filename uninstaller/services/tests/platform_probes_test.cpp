// The platform probes, in this process and in a child whose token has the
// Administrators group as deny-only, as a standard user's would.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/win_resources.h"
#include "uninstaller/services/platform_probes.h"
#include "uninstaller/services/tests/services_test_support.h"

namespace {

bool NativeSystemIs64Bit() {
  SYSTEM_INFO info;
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

TEST(PlatformProbes, AnswerForThisProcess) {
  EXPECT_TRUE(ravuninst::IsNtPlatform());
  // A 32-bit program is WOW64 exactly when the system underneath is 64-bit;
  // a 64-bit test build never is.
  EXPECT_EQ(ravuninst::IsWow64(), sizeof(void*) == 4 && NativeSystemIs64Bit());
  // The impersonation of the check must not outlive it.
  ravuninst::IsUserAdmin();
  rav::UniqueHandle threadToken;
  EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, threadToken.put()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
}

TEST(PlatformProbes, AdministratorCheckFollowsTheToken) {
  // The test runs as an administrator (the default user of a Wine prefix, an
  // elevated account on Windows).
  const testsupport::RunResult asIs = services_test::RunProbe({L"admin"});
  ASSERT_TRUE(asIs.started);
  EXPECT_EQ(asIs.standardOutput, "1\r\n");

  rav::UniqueHandle processToken;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, processToken.put()));
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  rav::UniqueSid administrators;
  ASSERT_TRUE(AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                       0, 0, 0, 0, administrators.put()));
  SID_AND_ATTRIBUTES denyOnly = {administrators.get(), 0};
  rav::UniqueHandle restricted;
  ASSERT_TRUE(CreateRestrictedToken(processToken.get(), 0, 1, &denyOnly, 0, nullptr, 0, nullptr, restricted.put()));
  const testsupport::RunResult asUser = services_test::RunProbe({L"admin"}, restricted.get());
  ASSERT_TRUE(asUser.started) << asUser.startError;
  EXPECT_EQ(asUser.standardOutput, "0\r\n");
}

}  // namespace
