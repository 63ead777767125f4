// Hostile and broken input for the real launcher.exe: each row is one input
// and what must come of it (exit code, trace lines, what is left on disk),
// with nothing crashed, overrun, hung, or deleted outside the staging
// directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <random>

#include "common/win_resources.h"
#include "launcher/tests/launcher_package.h"
#include "testsupport/registry_values.h"
#include "testsupport/text.h"

namespace launcher_test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr wchar_t kStatusKey[] = L"SOFTWARE\\RavSetup\\Status";

struct Row {
  const char* name;
  // Prepares the package and the machine; may change the arguments.
  std::function<void(LauncherPackage&, std::vector<std::wstring>&)> prepare;
  // Nothing: the platform may refuse to start it (Windows takes at most
  // 32,767 characters); if it starts, the launcher refuses with 160.
  std::optional<DWORD> exitCode;
  std::vector<std::string> lines;     // each must appear in the trace (as a substring)
  std::size_t programsRun;
  bool stagingLeft = false;            // only where a link keeps it
  std::function<void(LauncherPackage&, const testsupport::RunResult&)> check;
};

std::string TraceText(const testsupport::RunResult& run) {
  std::string text;
  for (const std::string& line : run.DebugLines()) text += line + "\n";
  return text;
}

void PlainPackage(LauncherPackage& package) {
  package.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe\n");
  package.AddProgram("prog.exe");
}

std::wstring Repeat(std::size_t count, wchar_t c) { return std::wstring(count, c); }

const Row kRows[] = {
    {"an argument of 1,000 characters",
     [](LauncherPackage& p, std::vector<std::wstring>& args) {
       PlainPackage(p);
       args = {L"/a" + Repeat(998, L'x')};
     },
     0, {}, 1, false,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       EXPECT_EQ(p.Records()[0].commandLine, "  /a" + std::string(998, 'x') + " ");
     }},
    {"an argument of 30,000 characters",
     [](LauncherPackage& p, std::vector<std::wstring>& args) {
       PlainPackage(p);
       args = {Repeat(30000, L'x')};
     },
     160, {"Launcher: The arguments do not fit in 1023 characters; nothing is started."}, 0},
    {"an argument of 40,000 characters (beyond the platform's command line)",
     [](LauncherPackage& p, std::vector<std::wstring>& args) {
       PlainPackage(p);
       args = {Repeat(40000, L'x')};
     },
     std::nullopt, {}, 0},
    {"3,000 arguments",
     [](LauncherPackage& p, std::vector<std::wstring>& args) {
       PlainPackage(p);
       args.assign(3000, L"/x");
     },
     160, {"argv[341]: /x", "Launcher: The arguments do not fit in 1023 characters; nothing is started."}, 0},
    {"an argument of only a quote",
     [](LauncherPackage& p, std::vector<std::wstring>& args) {
       PlainPackage(p);
       args = {L"\""};
     },
     0, {"argv[1]: \""}, 1, false,
     [](LauncherPackage& p, const testsupport::RunResult&) { EXPECT_EQ(p.Records()[0].commandLine, "  \" "); }},
    {"arguments of only a colon, and a colon with a blank",
     [](LauncherPackage& p, std::vector<std::wstring>& args) {
       PlainPackage(p);
       args = {L":", L": "};
     },
     0, {"argv[2] contains blank space.", "Commandline argument after adding quotes: \": \""}, 1, false,
     [](LauncherPackage& p, const testsupport::RunResult&) { EXPECT_EQ(p.Records()[0].commandLine, "  : \": \" "); }},
    {"a launcher.ini of binary garbage",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       std::mt19937 random(7);
       std::string garbage(8192, '\0');
       for (char& c : garbage) c = static_cast<char>(random());
       p.WriteIni(garbage);
     },
     2, {"lists no program (LAUNCHLIST FILE0); nothing was started.", "CleanupSetupFiles(): Cleaning up setup files"},
     0},
    {"a launcher.ini in UTF-16 with a byte-order mark",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       const std::u16string text = u"\xFEFF[LAUNCHLIST]\r\nFILE0=prog.exe /unicode\r\n";
       p.WriteIni(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
     },
     0, {"Arguments: /unicode"}, 1},
    {"100,000 FILEn keys",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       std::string ini = "[LAUNCHLIST]\n";
       for (int i = 0; i < 100000; ++i) ini += "FILE" + std::to_string(i) + "=prog.exe\n";
       p.WriteIni(ini);
     },
     0, {"Command: prog.exe"}, 1},
    {"a FILE0 value of 300 characters",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       p.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe /" + std::string(291, 'a') + "\n");
     },
     206, {"FILE0 in ", "is longer than 259 characters; it is not started."}, 0},
    {"a staging directory left with read-only files in it",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       for (const char* stale : {"prog.exe", "stale.txt"}) {
         const fs::path file = p.stagingDir() / stale;
         testsupport::WriteFile(file, "left by an earlier run");
         SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
       }
     },
     0, {"is left from an earlier run; it is removed first."}, 1},
    {"a file of the package locked by another program",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.AddFile("zz-locked.bin", "data");
     },
     static_cast<DWORD>(ERROR_SHARING_VIOLATION),
     {"Failed to copy file: ", "Launcher: The package could not be staged completely (error 32); nothing is started."},
     0},
    {"a TEMP that names a missing directory",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.environment.push_back({L"TMP", (p.root() / L"missing").wstring()});
       p.environment.push_back({L"TEMP", (p.root() / L"missing").wstring()});
     },
     static_cast<DWORD>(ERROR_PATH_NOT_FOUND), {"Failed to create directory: ", "Reason: 3", "nothing is started"}, 0,
     false,
     [](LauncherPackage& p, const testsupport::RunResult&) { EXPECT_FALSE(fs::exists(p.root() / L"missing")); }},
    {"a TEMP that names a file",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       testsupport::WriteFile(p.root() / L"afile", "not a directory");
       p.environment.push_back({L"TMP", (p.root() / L"afile").wstring()});
       p.environment.push_back({L"TEMP", (p.root() / L"afile").wstring()});
     },
     static_cast<DWORD>(ERROR_PATH_NOT_FOUND), {"Failed to create directory: ", "nothing is started"}, 0, false,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       EXPECT_EQ(testsupport::ReadFile(p.root() / L"afile"), "not a directory");
     }},
    {"a TEMP longer than the path buffer",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.environment.push_back({L"TMP", L"C:\\" + Repeat(300, L't')});
       p.environment.push_back({L"TEMP", L"C:\\" + Repeat(300, L't')});
     },
     // Windows answers with the length it needs, Wine with error 206: both end here.
     static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), {"temporary directory"}, 0, false,
     [](LauncherPackage&, const testsupport::RunResult& run) {
       EXPECT_THAT(TraceText(run), ::testing::Not(HasSubstr("CleanupSetupFiles")));
     }},
    {"a TEMP inside the package",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       fs::create_directories(p.packageDir() / L"tmp");
       p.environment.push_back({L"TMP", (p.packageDir() / L"tmp").wstring()});
       p.environment.push_back({L"TEMP", (p.packageDir() / L"tmp").wstring()});
       p.SnapshotStagingInto(p.root() / L"snapshot");
     },
     0, {"Skipped staging directory: "}, 1, false,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       // The staged copy has the (empty) tmp directory, not itself inside it.
       EXPECT_TRUE(fs::is_directory(p.root() / L"snapshot" / L"tmp"));
       EXPECT_FALSE(fs::exists(p.root() / L"snapshot" / L"tmp" / L"RavWLSetup"));
       EXPECT_FALSE(fs::exists(p.packageDir() / L"tmp" / L"RavWLSetup"));
     }},
    {"an ErrorCode stored as REG_SZ",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       // Read as the number its bytes make: "5" and its terminator, 0x0035.
       EXPECT_TRUE(testsupport::SetRegistryValue(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode", REG_SZ, L"5", 4));
     },
     0x35, {"Error occured. Return Code: 53"}, 1},
    {"an ErrorCode of 8 bytes",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       const unsigned long long code = 1603;
       EXPECT_TRUE(testsupport::SetRegistryValue(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode", REG_QWORD, &code, 8));
     },
     0, {"Error!!! Failed to get setup error code. Reason: 234"}, 1},
};

class LauncherBadInput : public ::testing::TestWithParam<Row> {
 protected:
  testsupport::ScopedRegistryKey status_{HKEY_CURRENT_USER, kStatusKey};
};

TEST_P(LauncherBadInput, EndsAsItShouldAndLeavesNothingBehind) {
  const Row& row = GetParam();
  LauncherPackage package;
  std::vector<std::wstring> arguments;
  row.prepare(package, arguments);
  // The locked-file row: hold the file open without sharing while Setup.exe runs.
  rav::UniqueHandle lock;
  if (fs::exists(package.packageDir() / L"zz-locked.bin")) {
    lock.reset(CreateFileW((package.packageDir() / L"zz-locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           0, nullptr));
    ASSERT_TRUE(lock);
  }
  const testsupport::RunResult run = package.Run(arguments);
  if (!row.exitCode) {
    if (run.started) {
      EXPECT_EQ(run.exitCode, 160u);
      EXPECT_THAT(TraceText(run), HasSubstr("Launcher: The arguments do not fit in 1023 characters"));
    }
  } else {
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, *row.exitCode);
  }
  const std::string trace = TraceText(run);
  for (const std::string& line : row.lines) EXPECT_THAT(trace, HasSubstr(line));
  EXPECT_EQ(package.Records().size(), row.programsRun);
  EXPECT_EQ(fs::exists(package.stagingDir()), row.stagingLeft);
  if (row.check) row.check(package, run);
}

INSTANTIATE_TEST_SUITE_P(Rows, LauncherBadInput, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c != '\0'; ++c) {
                             if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9')) {
                               name += *c;
                             } else if (!name.empty() && name.back() != '_') {
                               name += '_';
                             }
                           }
                           return name;
                         });

// A file in the staging directory that another program holds open cannot
// be deleted: both clean-ups (of the leftover, and after the run) say so,
// the run still goes on, and everything else of the staged tree goes.
TEST(LauncherCleanup, AFileHeldOpenIsReportedAndTheRestOfTheTreeGoes) {
  testsupport::ScopedRegistryKey status(HKEY_CURRENT_USER, kStatusKey);
  LauncherPackage package;
  PlainPackage(package);
  package.AddFile("data\\deeper\\table.bin", "data");
  package.AddFile("readme.txt", "text");
  const fs::path held = package.stagingDir() / L"held.txt";
  testsupport::WriteFile(held, "left by an earlier run");
  rav::UniqueHandle lock(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);

  const testsupport::RunResult run = package.Run({});
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(package.Records().size(), 1u);
  const std::string trace = TraceText(run);
  const std::string failure =
      "CleanupSetupFiles(): Unable to cleanup setup files from: " + testsupport::Narrow(package.stagingDir().wstring());
  const std::size_t first = trace.find(failure);
  ASSERT_NE(first, std::string::npos) << trace;
  EXPECT_NE(trace.find(failure, first + 1), std::string::npos) << "the clean-up after the run is reported too";
  lock.reset();
  std::vector<std::string> left;
  for (const auto& [path, content] : testsupport::ReadTree(package.stagingDir())) left.push_back(path);
  EXPECT_THAT(left, ::testing::ElementsAre("held.txt"));
}

// Links: the launcher never deletes through one, so nothing outside the
// staging directory goes. (Wine's shell follows a link when it deletes a
// tree, and its file calls delete a link's target: a deletion through a
// link would destroy the linked directory there.) Wine's CreateSymbolicLink
// makes no link, so these skip there; links_test.sh makes them from the
// Linux side instead.
class LauncherLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::WriteFile(outside_ / L"precious.txt", "keep me");
    PlainPackage(package_);
  }
  testsupport::ScopedRegistryKey status_{HKEY_CURRENT_USER, kStatusKey};
  LauncherPackage package_;
  fs::path outside_ = package_.root() / L"outside";
};

TEST_F(LauncherLinks, ALinkMadeInsideTheStagingTreeIsNotFollowedOnCleanup) {
  package_.environment.push_back({L"RAV_RECORDER_LINK", outside_.wstring()});
  const testsupport::RunResult run = package_.Run({});
  EXPECT_EQ(run.exitCode, 0u);
  const DWORD attributes = GetFileAttributesW((package_.stagingDir() / L"outside-link").c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "this platform made no link";
  EXPECT_THAT(TraceText(run), HasSubstr("outside-link is a link; "));
  EXPECT_EQ(testsupport::ReadFile(outside_ / L"precious.txt"), "keep me");
}

TEST_F(LauncherLinks, AStagingDirectoryThatIsALinkIsNotUsed) {
  fs::create_directories(package_.tempDir());
  CreateSymbolicLinkW(package_.stagingDir().c_str(), outside_.c_str(),
                      SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  WIN32_FIND_DATAW entry;
  rav::UniqueFindHandle made(FindFirstFileW(package_.stagingDir().c_str(), &entry));
  if (!made || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    GTEST_SKIP() << "this platform made no link";
  }
  const testsupport::RunResult run = package_.Run({});
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_THAT(TraceText(run), HasSubstr("is a link; nothing is staged or started."));
  EXPECT_TRUE(package_.Records().empty());
  EXPECT_EQ(testsupport::ReadFile(outside_ / L"precious.txt"), "keep me");
  EXPECT_FALSE(fs::exists(outside_ / L"prog.exe")) << "nothing was copied through the link";
}

}  // namespace
}  // namespace launcher_test
