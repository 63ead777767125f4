// Image names from process IDs, as the listener finds them.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include "common/win_resources.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"
#include "tools/tracer/process_names.h"

namespace tracer {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return CompareStringOrdinal(testsupport::Widen(a).c_str(), -1, testsupport::Widen(b).c_str(), -1, TRUE) ==
         CSTR_EQUAL;
}

TEST(ProcessNames, NamesThisProcess) {
  ProcessNames names;
  EXPECT_EQ(names.NameOf(GetCurrentProcessId()), testsupport::Narrow(testsupport::ThisProgram().filename().wstring()));
  EXPECT_EQ(names.size(), 1u) << "cached";
}

TEST(ProcessNames, NamesA64BitProcessFromThis32BitOne) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (!wow64) GTEST_SKIP() << "a 32-bit system has no 64-bit process";
  // Any 64-bit process of the session will do (under Wine the desktop
  // process is one).
  rav::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  ASSERT_TRUE(snapshot);
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  int checked = 0;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    rav::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    BOOL emulated = TRUE;
    if (!process || !IsWow64Process(process.get(), &emulated) || emulated) continue;
    ProcessNames names;
    const std::string expected = testsupport::Narrow(entry.szExeFile);
    const std::string name = names.NameOf(entry.th32ProcessID);
    // A process that ended meanwhile (another test's) proves nothing.
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) continue;
    EXPECT_TRUE(SameName(name, expected)) << name << " for " << expected;
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "no 64-bit process could be opened";
}

TEST(ProcessNames, QuestionMarkForAProcessThatIsGone) {
  // Process IDs are multiples of 4: 3 never names a process.
  ProcessNames names;
  EXPECT_EQ(names.NameOf(3), "?");
  EXPECT_EQ(names.size(), 0u) << "a failed look-up is not cached";
}

TEST(ProcessNames, RememberedNamesComeFirst) {
  ProcessNames names;
  names.Remember(3, L"C:\\Package\\Setup.exe");
  EXPECT_EQ(names.NameOf(3), "Setup.exe");
  names.Remember(GetCurrentProcessId(), L"Z:\\elsewhere\\renamed.exe");
  EXPECT_EQ(names.NameOf(GetCurrentProcessId()), "renamed.exe");
  names.Forget(GetCurrentProcessId());
  EXPECT_EQ(names.NameOf(GetCurrentProcessId()), testsupport::Narrow(testsupport::ThisProgram().filename().wstring()));
  // An empty path (the system could not tell) leaves it to the look-up.
  names.Remember(3, L"");
  EXPECT_EQ(names.NameOf(3), "?");
}

}  // namespace
}  // namespace tracer
