// The console user's location, read while impersonating the user's desktop
// shell process (explorer.exe, which runs because the session has a display).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include "coinstaller/console_user.h"
#include "coinstaller/shell_token.h"
#include "coinstaller/tests/device_test.h"
#include "coinstaller/tests/line_matchers.h"
#include "coinstaller/user_location.h"
#include "common/core/ascii_case.h"
#include "testsupport/registry_values.h"
#include "testsupport/text.h"

namespace coinstaller_test {
namespace {

using ::testing::Contains;
using ::testing::Not;

// Tests point the co-installer at a Winlogon key of their own: rewriting the
// machine's own "Shell" setting would break the next logon if a test died
// before restoring it.
constexpr char kTestWinlogonKey[] = "Software\\RavCoinstTest\\Winlogon";
constexpr wchar_t kTestWinlogonKeyW[] = L"Software\\RavCoinstTest";

// "DOMAIN\account" of this process, looked up independently of the code
// under test.
std::string ThisProcessAccount() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::string();
  const rav::UniqueHandle token(raw);
  char buffer[512] = {};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return std::string();
  char name[256] = {};
  char domain[256] = {};
  DWORD nameChars = sizeof name;
  DWORD domainChars = sizeof domain;
  SID_NAME_USE use;
  if (!LookupAccountSidA(nullptr, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, name, &nameChars, domain,
                         &domainChars, &use)) {
    return std::string();
  }
  return std::string(domain) + "\\" + name;
}

bool ShellProcessRunning() {
  const rav::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) return true;
  }
  return false;
}

// No impersonation token on the calling thread: it runs as the process.
bool ThreadRunsAsItself() {
  HANDLE raw = nullptr;
  if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &raw)) {
    CloseHandle(raw);
    return false;
  }
  return GetLastError() == ERROR_NO_TOKEN;
}

using rav::AsciiLowered;
using rav::AsciiUppered;

class UserLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ShellProcessRunning()) << "explorer.exe runs only in a session with a display";
    ASSERT_FALSE(account_.empty());
  }

  void SetShell(const std::string& shell) {
    ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, testsupport::Widen(kTestWinlogonKey), L"Shell",
                                       testsupport::Widen(shell)));
  }

  std::vector<std::string> Lines() const { return CoInstallerLines(capture_.Messages()); }

  testsupport::ScopedRegistryKey winlogon_{HKEY_LOCAL_MACHINE, kTestWinlogonKeyW};
  testsupport::InProcessDebugCapture capture_;
  const std::string account_ = ThisProcessAccount();
};

TEST_F(UserLocationTest, ImpersonatesTheConsoleUsersShellAndRevertsBeforeReturning) {
  ASSERT_TRUE(ThreadRunsAsItself());
  const std::optional<std::string> location = coinstaller::GetUserLocation();
  ASSERT_TRUE(location.has_value());
  EXPECT_EQ(*location, ThisUsersCountry());
  EXPECT_TRUE(ThreadRunsAsItself()) << "the impersonation outlived GetUserLocation";

  const std::vector<std::string> lines = Lines();
  EXPECT_TRUE(ContainsInOrder(lines, {"Entering... GetUserToken()", "Entering... GetCurrentUser()",
                                      "Leaving... GetCurrentUser()", "Entering GetUserShellToken...",
                                      "Successfully opened registry key: " + std::string(coinstaller::kWinlogonKey),
                                      "Shell Size: 256", "Entering... GetProcessShellToken()",
                                      "Leaving... GetProcessShellToken()", "Entering GetProcessUser()...",
                                      "Leaving GetProcessUser()...",
                                      "Username for the shell process matches current one",
                                      "Leaving GetUserShellToken...", "Leaving... GetUserToken()",
                                      "Successfully impersonated logged on user.", "Leaving GetUserLocation()"}));
  EXPECT_TRUE(HasLineStartingWith(lines, "GeoId: ["));
}

TEST_F(UserLocationTest, ShellNameMatchesTheProcessInAnyLetterCase) {
  for (const char* shell : {"EXPLORER.EXE", "explorer.exe", "Explorer.Exe"}) {
    SCOPED_TRACE(shell);
    SetShell(shell);
    capture_.Clear();
    EXPECT_EQ(coinstaller::GetUserLocation(kTestWinlogonKey), ThisUsersCountry());
    const std::vector<std::string> lines = Lines();
    EXPECT_THAT(lines, Contains(std::string("Shell Name: ") + shell));
    EXPECT_TRUE(HasLineStartingWith(lines, "Process: "));
    EXPECT_THAT(lines, Contains("Successfully impersonated logged on user."));
    EXPECT_TRUE(ThreadRunsAsItself());
  }
}

TEST_F(UserLocationTest, ShellGivenAsAPathMatchesNoProcessAndTheHostAnswers) {
  SetShell(NarrowWindowsDirectory() + "\\explorer.exe");
  const std::optional<std::string> location = coinstaller::GetUserLocation(kTestWinlogonKey);
  ASSERT_TRUE(location.has_value());
  EXPECT_EQ(*location, ThisUsersCountry());
  const std::vector<std::string> lines = Lines();
  EXPECT_FALSE(HasLineStartingWith(lines, "Process: "));
  EXPECT_TRUE(HasLineStartingWith(lines, "Unable to impersonate "));
  EXPECT_THAT(lines, Not(Contains("Successfully impersonated logged on user.")));
  EXPECT_TRUE(HasLineStartingWith(lines, "GeoId: ["));
  EXPECT_EQ(lines.back(), "Leaving GetUserLocation()");
}

TEST_F(UserLocationTest, UnreadableShellSettingKeepsThePlatformDefault) {
  // The key exists but has no "Shell": the read fails and is logged.
  SetShell("placeholder");
  ASSERT_TRUE(testsupport::DeleteRegistryValue(HKEY_LOCAL_MACHINE, testsupport::Widen(kTestWinlogonKey), L"Shell"));
  EXPECT_EQ(coinstaller::GetUserLocation(kTestWinlogonKey), ThisUsersCountry());
  EXPECT_TRUE(ContainsInOrder(Lines(), {"Failed to read 'Shell' from registry. [err=2]", "Shell Name: Explorer.exe",
                                        "Successfully impersonated logged on user."}));

  // No key at all: the default without a word about the key.
  ASSERT_TRUE(testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestWinlogonKeyW));
  capture_.Clear();
  EXPECT_EQ(coinstaller::GetUserLocation(kTestWinlogonKey), ThisUsersCountry());
  EXPECT_FALSE(HasLineStartingWith(Lines(), "Successfully opened registry key: "));
  EXPECT_THAT(Lines(), Contains("Shell Name: Explorer.exe"));
}

TEST_F(UserLocationTest, ShellOwnerComparesWithoutRegardToLetterCase) {
  for (const std::string& user : {account_, AsciiUppered(account_), AsciiLowered(account_)}) {
    SCOPED_TRACE(user);
    const rav::UniqueHandle token = coinstaller::GetUserShellToken(user);
    EXPECT_TRUE(token) << "no shell process of " << user;
  }
  capture_.Clear();
  EXPECT_FALSE(coinstaller::GetUserShellToken("NOWHERE\\nobody"));
  EXPECT_THAT(Lines(), Contains("Unable to impersonate NOWHERE\\nobody"));
  // Nobody's name and an owner that cannot be read never match.
  EXPECT_FALSE(coinstaller::GetUserShellToken(""));
}

TEST_F(UserLocationTest, ConsoleUserIsTheSessionsDomainAndName) {
  std::string name;
  EXPECT_TRUE(coinstaller::GetCurrentUser(name));
  // Under Wine and at a desktop, the console session's user runs this test.
  EXPECT_EQ(AsciiLowered(name), AsciiLowered(account_));
  EXPECT_THAT(Lines(), Contains("WTSQuerySessionInformation returned \"" + name + "\""));
}

TEST_F(UserLocationTest, ProcessUserOfAnUnusableTokenIsUnknown) {
  std::string owner = "unchanged";
  EXPECT_FALSE(coinstaller::GetProcessUser(nullptr, owner));
  EXPECT_EQ(owner, "unchanged");
  EXPECT_THAT(Lines(), testing::ElementsAre("Entering GetProcessUser()...", "Leaving GetProcessUser()..."));
}

}  // namespace
}  // namespace coinstaller_test
