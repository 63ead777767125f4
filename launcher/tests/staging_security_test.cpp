// The staging directory's security as Setup.exe makes it: read back from the
// descriptor it hands to the system, and from the directory it makes where
// the platform keeps what it is given. Wine keeps no DACL: it turns one into
// the host's mode bits and reports a DACL made from them, so there only the
// descriptor is read back (and Wine enforces no file permissions at all).
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "launcher/staging_root.h"
#include "launcher/staging_security.h"
#include "testsupport/dir_tree.h"
#include "testsupport/tokens.h"

namespace launcher_test {
namespace {

struct Ace {
  BYTE type;
  BYTE flags;  // without INHERITED_ACE
  ACCESS_MASK mask;
  std::string sid;
  bool operator==(const Ace&) const = default;
};

struct Security {
  std::string owner;
  bool daclPresent = false;
  bool daclProtected = false;
  std::vector<Ace> aces;
};

std::string SidText(PSID sid) {
  LPSTR text = nullptr;
  if (sid == nullptr || !ConvertSidToStringSidA(sid, &text)) return std::string();
  const std::string result = text;
  LocalFree(text);
  return result;
}

std::string WellKnown(WELL_KNOWN_SID_TYPE type) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof sid;
  return CreateWellKnownSid(type, nullptr, sid, &size) ? SidText(sid) : std::string();
}

std::string UserOf(HANDLE token) {
  BYTE buffer[256];
  DWORD size = 0;
  return GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)
             ? SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid)
             : std::string();
}

Security Read(PSECURITY_DESCRIPTOR descriptor) {
  Security security;
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
  security.owner = SidText(owner);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  security.daclProtected = (control & SE_DACL_PROTECTED) != 0;
  BOOL present = FALSE;
  PACL acl = nullptr;
  GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted);
  security.daclPresent = present && acl != nullptr;
  for (DWORD i = 0; security.daclPresent && i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(acl, i, &ace)) break;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    security.aces.push_back({allowed->Header.AceType, static_cast<BYTE>(allowed->Header.AceFlags & ~INHERITED_ACE),
                             allowed->Mask, SidText(const_cast<DWORD*>(&allowed->SidStart))});
  }
  return security;
}

// What the platform reports for a directory made with `descriptor`.
Security ReadBack(const std::filesystem::path& directory) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(directory.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return {};
  }
  const Security security = Read(descriptor);
  LocalFree(descriptor);
  return security;
}

// Whether the platform keeps a directory's DACL as given (Windows), or
// reports one of its own (Wine): a protected DACL with one odd entry tells.
bool PlatformKeepsDacls(const std::filesystem::path& scratch) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x1200a9;;;WD)", SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return false;
  }
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  const std::filesystem::path probe = scratch / L"probe";
  const bool made = CreateDirectoryW(probe.c_str(), &attributes) != FALSE;
  LocalFree(descriptor);
  if (!made) return false;
  const Security back = ReadBack(probe);
  return back.daclProtected && back.aces == std::vector<Ace>{{ACCESS_ALLOWED_ACE_TYPE, 0, 0x1200a9, "S-1-1-0"}};
}

TEST(LauncherStagingSecurity, TheStagingDirectoryIsTheAdministratorsAndOnlyReadableForTheUser) {
  const std::string system = WellKnown(WinLocalSystemSid);
  const std::string administrators = WellKnown(WinBuiltinAdministratorsSid);
  rav::UniqueHandle own;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.put()));
  const rav::UniqueHandle standardUser = testsupport::StandardUserToken();
  ASSERT_TRUE(standardUser);
  const std::string user = UserOf(own.get());
  ASSERT_FALSE(user.empty());
  constexpr BYTE kInherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

  struct Case {
    const char* name;
    HANDLE token;  // null: this process's, an administrator's (as tests run)
    bool elevated;
    std::string owner;
    ACCESS_MASK userAccess;
  };
  const Case cases[] = {
      {"elevated", nullptr, true, administrators, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE},
      {"not elevated", standardUser.get(), false, user, FILE_ALL_ACCESS},
  };
  testsupport::TempDir scratch;
  const bool keepsDacls = PlatformKeepsDacls(scratch.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const rav::Result<launcher::StagingSecurity> security = launcher::StagingSecurity::For(c.token);
    ASSERT_TRUE(security.ok()) << security.error();
    EXPECT_EQ(security->elevated(), c.elevated);
    const std::vector<Ace> expected = {{ACCESS_ALLOWED_ACE_TYPE, kInherited, FILE_ALL_ACCESS, system},
                                       {ACCESS_ALLOWED_ACE_TYPE, kInherited, FILE_ALL_ACCESS, administrators},
                                       {ACCESS_ALLOWED_ACE_TYPE, kInherited, c.userAccess, user}};

    const Security directory = Read(security->Directory().lpSecurityDescriptor);
    EXPECT_EQ(directory.owner, c.owner);
    EXPECT_TRUE(directory.daclProtected) << "the temporary directory's entries must not flow in";
    EXPECT_EQ(directory.aces, expected);
    const Security inside = Read(security->Inside().lpSecurityDescriptor);
    EXPECT_EQ(inside.owner, c.owner);
    EXPECT_FALSE(inside.daclPresent) << "what is made inside inherits the staging directory's entries";

    // The directory as the run makes it: with this process's own token only
    // (the owner must be one of the maker's groups).
    if (c.token != nullptr || !keepsDacls) continue;
    const std::filesystem::path path = scratch.path() / L"RavWLSetup";
    rav::Result<launcher::StagingRoot> root = launcher::StagingRoot::Create(path.string(), *security);
    ASSERT_TRUE(root.ok()) << root.error();
    const Security made = ReadBack(path);
    EXPECT_EQ(made.owner, c.owner);
    EXPECT_TRUE(made.daclProtected);
    EXPECT_EQ(made.aces, expected);
    root->Release();
  }
}

}  // namespace
}  // namespace launcher_test
