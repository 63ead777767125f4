// Hostile and broken input for the real launcher.exe: each row is one input
// and what must come of it (exit code, trace lines, what is left on disk),
// with nothing crashed, overrun, hung, or deleted outside the staging
// directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <random>

#include "common/wide_text.h"
#include "common/win_resources.h"
#include "launcher/core/staging_rules.h"
#include "launcher/directory_identity.h"
#include "launcher/tests/launcher_package.h"
#include "testsupport/host_side.h"
#include "testsupport/registry_values.h"
#include "testsupport/test_paths.h"
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
  // Only where a link keeps it; nothing: as the platform can (a link is
  // removed as a link on Windows, while Wine cannot remove it without
  // following it, so it stays).
  std::optional<bool> stagingLeft = false;
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
     static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
     {"cannot be opened as a directory (error 2); nothing is staged or started"}, 0, false,
     [](LauncherPackage& p, const testsupport::RunResult&) { EXPECT_FALSE(fs::exists(p.root() / L"missing")); }},
    {"a TEMP that names a file",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       testsupport::WriteFile(p.root() / L"afile", "not a directory");
       p.environment.push_back({L"TMP", (p.root() / L"afile").wstring()});
       p.environment.push_back({L"TEMP", (p.root() / L"afile").wstring()});
     },
     static_cast<DWORD>(ERROR_PATH_NOT_FOUND), {"cannot be opened as a directory", "nothing is staged or started"}, 0,
     false,
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
    // The staging directory is deleted before every copy: a package in it
    // (the TEMP spelled in other letters and with "..") must survive whole.
    {"a package that is the staging directory",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.MovePackageTo(L"temp\\RavWLSetup");
       std::wstring temp = (p.tempDir() / L"x" / L"..").wstring();
       CharUpperBuffW(temp.data(), static_cast<DWORD>(temp.size()));
       p.environment.push_back({L"TMP", temp});
       p.environment.push_back({L"TEMP", temp});
     },
     static_cast<DWORD>(ERROR_CURRENT_DIRECTORY), {"lies in the staging directory", "nothing is staged, deleted"}, 0,
     true,
     [](LauncherPackage& p, const testsupport::RunResult& run) {
       EXPECT_THAT(TraceText(run), ::testing::Not(HasSubstr("CleanupSetupFiles")));
       EXPECT_EQ(testsupport::ReadTree(p.packageDir()).size(), 3u) << "Setup.exe, launcher.ini, prog.exe";
     }},
    {"a package below the staging directory",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.AddFile("driver\\adapter.sys", "driver");
       p.MovePackageTo(L"temp\\RavWLSetup\\pkg\\sub");
     },
     static_cast<DWORD>(ERROR_CURRENT_DIRECTORY), {"lies in the staging directory"}, 0, true,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       EXPECT_EQ(testsupport::ReadTree(p.packageDir()).size(), 5u);
     }},
    // A sibling whose name merely starts with the staging directory's is not in it.
    {"a package beside the staging directory with a longer name",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.MovePackageTo(L"temp\\RavWLSetup2");
     },
     0, {"Copied File: "}, 1},
    {"a program that cannot start after one that left an error code",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       p.WriteIni("[OPTIONS]\nCHECKERROR=N\n[LAUNCHLIST]\nFILE0=prog.exe --set-error=7\nFILE1=missing.exe\n");
     },
     // The registry still holds the first setup's answer; the start error
     // does not hide it.
     7, {"CreateProcess() failed to create and launch process: "}, 1},
    {"an ErrorCode stored as REG_SZ",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       // Read as the number its bytes make: "5" and its terminator, 0x0035.
       EXPECT_TRUE(testsupport::SetRegistryValue(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode", REG_SZ, L"5", 4));
     },
     // Left from before the run: the program's own exit code is the result.
     0, {"The program did not write ErrorCode (it holds 53 from before); its exit code 0"}, 1},
    {"an ErrorCode of 8 bytes",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       const unsigned long long code = 1603;
       EXPECT_TRUE(testsupport::SetRegistryValue(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode", REG_QWORD, &code, 8));
     },
     0, {"Error!!! Failed to get setup error code. Reason: 234"}, 1},
    // ErrorCode is the setup's answer only when it wrote it during the run;
    // otherwise its own exit code is (an earlier run's value says nothing).
    {"a setup that crashes where an earlier run left 1603",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       p.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe --crash\n");
       EXPECT_TRUE(testsupport::SetDword(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode", 1603));
     },
     static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION),
     {"The program did not write ErrorCode (it holds 1603 from before); its exit code 3221225477 (0xC0000005) is "
      "the result."},
     // The platform's crash handler may still hold the program's file when
     // the run ends (Wine's debugger reads its symbols from it): then the
     // copy stays for the next run to remove.
     1, std::nullopt},
    {"a setup that fails where an earlier run left 0",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       p.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe --exit=1603\n");
       EXPECT_TRUE(testsupport::SetDword(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode", 0));
     },
     1603, {"its exit code 1603 (0x00000643) is the result."}, 1},
    {"a setup that fails and writes nothing",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       p.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe --exit=5\n");
     },
     5, {"The program left no ErrorCode; its exit code 5 (0x00000005) is the result."}, 1},
    {"a FILE0 value of exactly 259 characters",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       p.AddProgram("prog.exe");
       p.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe /" + std::string(249, 'a') + "\n");
     },
     0, {"Arguments: /" + std::string(249, 'a')}, 1, false,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       ASSERT_EQ(p.Records().size(), 1u);
       EXPECT_EQ(p.Records()[0].commandLine, " /" + std::string(249, 'a') + " ");
     }},
    {"someone else's file named like the staging directory",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       testsupport::WriteFile(p.stagingDir(), "not ours");
     },
     0, {"could not be removed; staging into "}, 1, true,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       EXPECT_EQ(testsupport::ReadFile(p.stagingDir()), "not ours");
       ASSERT_EQ(p.Records().size(), 1u);
       EXPECT_EQ(fs::path(p.Records()[0].image).parent_path().filename(), L"RavWLSetup.1");
       EXPECT_FALSE(fs::exists(p.tempDir() / L"RavWLSetup.1"));
     }},

    // Another program of the user at work while the run stages and runs.
    // Each acts while Setup.exe waits in the debug line named. Setup.exe
    // runs elevated and the staging directory's DACL keeps the user's
    // unelevated programs out; these tests run with full rights (and Wine
    // enforces no file permissions), so they show what the run itself
    // checks: the names it makes, the tree before each start, and its
    // directory before the clean-up.
    {"a staged program swapped after its copy",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.onLine = [&p](const std::string& line) {
         if (line != "Copied File: " + Ansi(p.packageDir() / L"prog.exe")) return;
         const fs::path staged = p.stagingDir() / L"prog.exe";
         EXPECT_TRUE(DeleteFileW(staged.c_str()));
         // Another program that records like the package's, but is not it.
         testsupport::WriteFile(staged, testsupport::ReadFile(testsupport::BinPath(L"recorder.exe")) + "swapped");
       };
     },
     static_cast<DWORD>(ERROR_FILE_INVALID), {"no longer holds just what was staged (prog.exe was changed); "}, 0},
    {"a DLL dropped beside the program during the copy",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.onLine = [&p](const std::string& line) {
         if (line.rfind("Copied File: ", 0) != 0 || fs::exists(p.stagingDir() / L"version.dll")) return;
         testsupport::WriteFile(p.stagingDir() / L"version.dll", "not the package's");
       };
     },
     static_cast<DWORD>(ERROR_FILE_INVALID), {"no longer holds just what was staged (version.dll was not staged); "},
     0},
    {"a hard link planted at a name the copy has not reached",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.AddFile("sub\\a.bin", "package a");
       p.AddFile("sub\\b.bin", "package b");
       testsupport::WriteFile(p.root() / L"outside.txt", "keep me");
       p.onLine = [&p](const std::string& line) {
         const std::string copied = "Copied File: " + Ansi(p.packageDir() / L"sub") + "\\";
         if (line.rfind(copied, 0) != 0) return;
         const fs::path link = p.stagingDir() / L"sub" / (line.substr(copied.size()) == "a.bin" ? L"b.bin" : L"a.bin");
         if (fs::exists(link)) return;
         EXPECT_TRUE(CreateHardLinkW(link.c_str(), (p.root() / L"outside.txt").c_str(), nullptr));
       };
     },
     static_cast<DWORD>(ERROR_FILE_EXISTS),
     {"Failed to copy file: ", "The package could not be staged completely (error 80); nothing is started."}, 0,
     false,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       EXPECT_EQ(testsupport::ReadFile(p.root() / L"outside.txt"), "keep me");
     }},
    {"a directory link planted at a subdirectory the copy has not reached",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       p.AddFile("sub\\data.txt", "package data");
       testsupport::WriteFile(p.root() / L"outside" / L"precious.txt", "keep me");
       p.onLine = [&p](const std::string& line) {
         if (line != "Source Directory: " + Ansi(p.packageDir() / L"sub")) return;
         EXPECT_TRUE(testsupport::MakeDirectoryLink(p.stagingDir() / L"sub", p.root() / L"outside"));
       };
     },
     static_cast<DWORD>(ERROR_ALREADY_EXISTS),
     {"Failed to create directory: ", "\\sub. Reason: 183", "could not be staged completely (error 183)"}, 0,
     std::nullopt,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       EXPECT_FALSE(fs::exists(p.root() / L"outside" / L"data.txt"));
       EXPECT_EQ(testsupport::ReadTree(p.root() / L"outside").size(), 1u);
       EXPECT_FALSE(fs::exists(p.stagingDir() / L"prog.exe"));
       if (testsupport::IsReparsePoint(p.stagingDir() / L"sub")) testsupport::RemoveLink(p.stagingDir() / L"sub");
     }},
    {"a file link put in the staging directory while the setup runs",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       testsupport::WriteFile(p.root() / L"outside" / L"precious.txt", "keep me");
       p.onLine = [&p](const std::string& line) {
         if (line != "Finished waiting for the process.") return;
         EXPECT_TRUE(testsupport::MakeFileLink(p.stagingDir() / L"planted.txt", p.root() / L"outside" / L"precious.txt"));
       };
     },
     // Windows removes the link as a link; under Wine it shows as a plain
     // file, and deleting it would delete what it points to: it stays.
     0, {}, 1, std::nullopt,
     [](LauncherPackage& p, const testsupport::RunResult&) {
       EXPECT_EQ(testsupport::ReadFile(p.root() / L"outside" / L"precious.txt"), "keep me");
       EXPECT_FALSE(fs::exists(p.stagingDir() / L"prog.exe"));
       if (fs::exists(p.stagingDir() / L"planted.txt")) testsupport::RemoveLink(p.stagingDir() / L"planted.txt");
     }},
    {"the staging directory replaced by a link while the setup runs",
     [](LauncherPackage& p, std::vector<std::wstring>&) {
       PlainPackage(p);
       testsupport::WriteFile(p.root() / L"outside" / L"precious.txt", "keep me");
       p.onLine = [&p](const std::string& line) {
         if (line != "Finished waiting for the process.") return;
         const fs::path moved = p.tempDir() / L"moved";
         // The run holds its directory without delete sharing: no program
         // renames it. The host is bound by no such rule (Wine only).
         const bool renamed = MoveFileW(p.stagingDir().c_str(), moved.c_str());
         EXPECT_FALSE(renamed) << "the run's own directory was renamed under it";
         if (!renamed && !testsupport::MoveOnHost(p.stagingDir(), moved)) return;
         EXPECT_TRUE(testsupport::MakeDirectoryLink(p.stagingDir(), p.root() / L"outside"));
       };
     },
     0, {}, 1, std::nullopt,
     [](LauncherPackage& p, const testsupport::RunResult& run) {
       EXPECT_EQ(testsupport::ReadFile(p.root() / L"outside" / L"precious.txt"), "keep me");
       if (!fs::exists(p.tempDir() / L"moved")) {
         EXPECT_FALSE(fs::exists(p.stagingDir()));
         return;
       }
       EXPECT_THAT(TraceText(run), HasSubstr(Ansi(p.stagingDir()) +
                                             " is no longer the directory this run made (it is a link now); nothing "
                                             "is deleted."));
       EXPECT_TRUE(fs::exists(p.tempDir() / L"moved" / L"prog.exe")) << "nothing was deleted";
       testsupport::RemoveLink(p.stagingDir());
     }},
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
  if (IsSkipped()) return;
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
  if (row.stagingLeft) {
    EXPECT_EQ(fs::exists(package.stagingDir()), *row.stagingLeft) << trace;
  }
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

// A leftover that cannot be removed (a file held open without delete
// sharing, as a scanner or a hung process holds one) never becomes part of
// a run: the run stages into the first fresh sibling it can make itself,
// and deletes only that one. What could go of the leftover goes (a
// version.dll there would be loaded into the setup program).
TEST(LauncherCleanup, AnUnremovableLeftoverIsLeftAndTheRunStagesIntoAFreshSibling) {
  testsupport::ScopedRegistryKey status(HKEY_CURRENT_USER, kStatusKey);
  LauncherPackage package;
  PlainPackage(package);
  const fs::path held = package.stagingDir() / L"held.txt";
  testsupport::WriteFile(held, "left by an earlier run");
  testsupport::WriteFile(package.stagingDir() / L"version.dll", "not ours");
  // Somebody's directory that happens to have the first sibling's name.
  const fs::path taken = package.tempDir() / L"RavWLSetup.1";
  testsupport::WriteFile(taken / L"other.txt", "not ours either");
  rav::UniqueHandle lock(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);

  const testsupport::RunResult run = package.Run({});
  EXPECT_EQ(run.exitCode, 0u);
  const fs::path used = package.tempDir() / L"RavWLSetup.2";
  ASSERT_EQ(package.Records().size(), 1u);
  EXPECT_EQ(testsupport::Narrow(fs::path(package.Records()[0].image).parent_path().wstring()), Ansi(used));
  const std::string trace = TraceText(run);
  EXPECT_THAT(trace, HasSubstr(Ansi(package.stagingDir()) + " could not be removed; staging into " + Ansi(used) +
                               " instead."));
  EXPECT_THAT(trace, HasSubstr("CleanupSetupFiles(): Cleaning up setup files from " + Ansi(used)));
  lock.reset();
  EXPECT_FALSE(fs::exists(used));
  EXPECT_EQ(testsupport::ReadFile(taken / L"other.txt"), "not ours either");
  std::vector<std::string> left;
  for (const auto& [path, content] : testsupport::ReadTree(package.stagingDir())) left.push_back(path);
  EXPECT_THAT(left, ::testing::ElementsAre("held.txt"));
}

// The narrow form of a path when it names that very path: as it is, else its
// short name; the launcher must use that or stop, never a best-fit twin.
std::optional<std::string> ExactNarrowPath(const fs::path& path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::wstring wide = path.wstring();
    if (attempt == 1) {
      wchar_t shortPath[MAX_PATH] = {};
      const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
      if (length == 0 || length >= MAX_PATH) return std::nullopt;
      wide.assign(shortPath, length);
    }
    BOOL usedDefault = FALSE;
    char narrow[MAX_PATH * 2] = {};
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, narrow, sizeof narrow,
                                         nullptr, &usedDefault);
    if (size > 0 && !usedDefault) return std::string(narrow);
  }
  return std::nullopt;
}

// TEMP or the package in a folder whose name the ANSI code page cannot hold
// ("Ĉapo" maps to its twin "Capo" by best fit, "日本" to "??"). Where the
// platform gives the folder a short name that the code page holds (Windows
// with 8.3 names) the run goes through it; where it gives none (Wine keeps
// such letters in its short names) the launcher stops with 1113. Either
// way the twin, somebody else's folder, is neither deleted nor run from.
TEST(LauncherNames, ANameTheAnsiCodePageCannotHoldIsNeverMappedToATwin) {
  struct Case {
    const wchar_t* name;
    bool package;  // the package's folder, else TEMP
  };
  for (const Case& c : {Case{L"\u0108apo", false}, Case{L"\u65E5\u672C", false}, Case{L"\u0108apo", true}}) {
    SCOPED_TRACE(testsupport::Narrow(c.name) + (c.package ? " (package)" : " (TEMP)"));
    testsupport::ScopedRegistryKey status(HKEY_CURRENT_USER, kStatusKey);
    LauncherPackage p;
    PlainPackage(p);
    // The best-fit twins: a leftover-looking folder of somebody's, and a
    // package that would answer 9.
    testsupport::WriteFile(p.root() / L"Capo" / L"RavWLSetup" / L"keep.txt", "keep me");
    testsupport::WriteFile(p.root() / L"Capo" / L"package" / L"launcher.ini",
                           "[LAUNCHLIST]\nFILE0=prog.exe --set-error=9\n");
    fs::copy_file(testsupport::BinPath(L"recorder.exe"), p.root() / L"Capo" / L"package" / L"prog.exe");
    fs::path where = p.root() / c.name;
    if (c.package) {
      p.MovePackageTo(fs::path(c.name) / L"package");
    } else {
      fs::create_directories(where);
      p.environment.push_back({L"TMP", where.wstring()});
      p.environment.push_back({L"TEMP", where.wstring()});
    }
    if (c.package) where = p.packageDir();
    if (ExactNarrowPath(fs::path(c.name)).has_value()) {
      GTEST_SKIP() << "this ANSI code page holds the name";
    }
    const std::optional<std::string> narrow = ExactNarrowPath(where);

    const testsupport::RunResult run = p.Run({});
    if (narrow) {
      EXPECT_EQ(run.exitCode, 0u) << TraceText(run);
      ASSERT_EQ(p.Records().size(), 1u);
      // The launcher's own line: the program's GetModuleFileNameA shows its
      // path by best fit.
      if (!c.package) {
        EXPECT_THAT(TraceText(run), HasSubstr("Launch String: " + *narrow + "\\RavWLSetup\\prog.exe"));
      }
    } else {
      EXPECT_EQ(run.exitCode, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
      EXPECT_THAT(TraceText(run), HasSubstr("cannot be held in the ANSI code page"));
      EXPECT_TRUE(p.Records().empty());
    }
    EXPECT_EQ(testsupport::ReadFile(p.root() / L"Capo" / L"RavWLSetup" / L"keep.txt"), "keep me");
    EXPECT_EQ(testsupport::ReadTree(p.root() / L"Capo").size(), 5u) << "nothing was added to the twin";
  }
}

// Two runs at once: the second neither deletes nor changes the copy the
// first one's setup runs from, and says so with 1618, which deployment tools
// read as "another installation is in progress". A run with another TEMP is
// not held up, and a run that was killed holds up nobody.
TEST(LauncherConcurrency, ASecondRunLeavesTheFirstRunsCopyAloneAndEndsWith1618) {
  testsupport::ScopedRegistryKey status(HKEY_CURRENT_USER, kStatusKey);
  LauncherPackage package;
  PlainPackage(package);
  const std::wstring hold = L"rav-launcher-test-" + std::to_wstring(GetCurrentProcessId());
  const rav::UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, (hold + L".started").c_str()));
  const rav::UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, (hold + L".release").c_str()));
  package.environment.push_back({L"RAV_RECORDER_HOLD", hold});
  std::future<testsupport::RunResult> first = package.RunAsync({});
  // Not a timed check: the wait only keeps a broken run from hanging the test.
  ASSERT_EQ(WaitForSingleObject(started.get(), 60000), WAIT_OBJECT_0);
  const testsupport::Tree staged = testsupport::ReadTree(package.stagingDir());

  package.environment.pop_back();
  const testsupport::RunResult second = package.Run({});
  EXPECT_EQ(second.exitCode, static_cast<DWORD>(ERROR_INSTALL_ALREADY_RUNNING));
  EXPECT_THAT(TraceText(second),
              HasSubstr("Launcher: Another Setup.exe is using " + Ansi(package.stagingDir()) + "; nothing is"));
  EXPECT_EQ(testsupport::ReadTree(package.stagingDir()), staged);

  LauncherPackage elsewhere;
  PlainPackage(elsewhere);
  EXPECT_EQ(elsewhere.Run({}).exitCode, 0u) << "another TEMP, another staging directory";

  SetEvent(release.get());
  const testsupport::RunResult firstRun = first.get();
  EXPECT_EQ(firstRun.exitCode, 0u);
  EXPECT_EQ(package.Records().size(), 1u);
  EXPECT_FALSE(fs::exists(package.stagingDir()));

  // A run killed while its setup runs: the lock is taken over from it, even
  // while another process still has the lock open (a second handle keeps
  // the abandoned mutex alive past the kill).
  ResetEvent(started.get());
  ResetEvent(release.get());
  package.environment.push_back({L"RAV_RECORDER_HOLD", hold});
  std::atomic<DWORD> launcherId{0};
  std::future<testsupport::RunResult> killed =
      package.RunAsync({}, [&launcherId](DWORD id) { launcherId = id; });
  ASSERT_EQ(WaitForSingleObject(started.get(), 60000), WAIT_OBJECT_0);
  const std::optional<launcher::OpenedIdentity> temp = launcher::IdentityOfPath(package.tempDir().wstring());
  ASSERT_TRUE(temp.has_value());
  const rav::UniqueHandle lockOpen(
      OpenMutexW(SYNCHRONIZE, FALSE, rav::as_wcstr(launcher::StagingLockName(temp->identity))));
  ASSERT_TRUE(lockOpen) << "the killed run's lock";
  {
    const rav::UniqueHandle launcher(OpenProcess(PROCESS_TERMINATE, FALSE, launcherId));
    ASSERT_TRUE(launcher);
    ASSERT_TRUE(TerminateProcess(launcher.get(), 1));
  }
  EXPECT_EQ(killed.get().exitCode, 1u);
  SetEvent(release.get());
  package.environment.pop_back();
  const testsupport::RunResult afterKilled = package.Run({});
  EXPECT_EQ(afterKilled.exitCode, 0u) << TraceText(afterKilled);
  EXPECT_EQ(package.Records().size(), 3u);
}

// A folder through another drive letter: the platform's own drive alias on
// Windows; under Wine, Z: stands for the host's root, so the folder's host
// path through Z: is one. Empty where neither reaches the same folder.
class OtherDrive {
 public:
  explicit OtherDrive(const fs::path& directory) {
    const std::optional<launcher::OpenedIdentity> wanted = launcher::IdentityOfPath(directory.wstring());
    if (!wanted) return;
    auto same = [&wanted](const std::wstring& path) {
      const std::optional<launcher::OpenedIdentity> found = launcher::IdentityOfPath(path);
      return found && found->identity == wanted->identity;
    };
    std::wstring host = testsupport::HostPath(directory);
    if (!host.empty()) {
      std::replace(host.begin(), host.end(), L'/', L'\\');
      if (same(L"Z:" + host)) path_ = L"Z:" + host;
      return;
    }
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
      const std::wstring drive = {letter, L':'};
      if (GetDriveTypeW((drive + L"\\").c_str()) != DRIVE_NO_ROOT_DIR) continue;
      if (!DefineDosDeviceW(0, drive.c_str(), directory.c_str())) return;
      defined_ = drive;
      if (same(drive + L"\\")) path_ = drive + L"\\";
      return;
    }
  }
  ~OtherDrive() {
    if (!defined_.empty()) DefineDosDeviceW(DDD_REMOVE_DEFINITION, defined_.c_str(), nullptr);
  }
  OtherDrive(const OtherDrive&) = delete;
  OtherDrive& operator=(const OtherDrive&) = delete;

  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  std::wstring defined_;
};

// TEMP as "\\?\C:\..." or through another drive letter still names the one
// staging directory: a package in it is refused (16), never deleted, and a
// second run waits for the first (1618) instead of deleting its copy.
TEST(LauncherSpellings, EverySpellingOfTheTemporaryDirectoryNamesOneStagingDirectory) {
  testsupport::ScopedRegistryKey status(HKEY_CURRENT_USER, kStatusKey);
  auto spellingsOf = [](const fs::path& temp, const OtherDrive& drive) {
    std::vector<std::wstring> spellings = {L"\\\\?\\" + temp.wstring()};
    if (!drive.path().empty()) spellings.push_back(drive.path());
    return spellings;
  };
  auto useTemp = [](LauncherPackage& package, const std::wstring& temp) {
    package.environment.push_back({L"TMP", temp});
    package.environment.push_back({L"TEMP", temp});
  };

  LauncherPackage inside;
  PlainPackage(inside);
  inside.MovePackageTo(L"temp\\RavWLSetup\\pkg");
  const OtherDrive insideDrive(inside.tempDir());
  const std::vector<std::wstring> insideSpellings = spellingsOf(inside.tempDir(), insideDrive);
  EXPECT_EQ(insideSpellings.size(), 2u) << "no other drive letter reaches the folder here";
  for (const std::wstring& temp : insideSpellings) {
    SCOPED_TRACE(testsupport::Narrow(temp));
    useTemp(inside, temp);
    const testsupport::RunResult run = inside.Run({});
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(ERROR_CURRENT_DIRECTORY)) << TraceText(run);
    EXPECT_EQ(testsupport::ReadTree(inside.packageDir()).size(), 3u) << "Setup.exe, launcher.ini, prog.exe";
    inside.environment.resize(inside.environment.size() - 2);
  }

  LauncherPackage package;
  PlainPackage(package);
  const std::wstring hold = L"rav-spelling-test-" + std::to_wstring(GetCurrentProcessId());
  const rav::UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, (hold + L".started").c_str()));
  const rav::UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, (hold + L".release").c_str()));
  package.environment.push_back({L"RAV_RECORDER_HOLD", hold});
  std::future<testsupport::RunResult> first = package.RunAsync({});
  // Not a timed check: the wait only keeps a broken run from hanging the test.
  ASSERT_EQ(WaitForSingleObject(started.get(), 60000), WAIT_OBJECT_0);
  package.environment.pop_back();
  const testsupport::Tree staged = testsupport::ReadTree(package.stagingDir());
  const OtherDrive drive(package.tempDir());
  for (const std::wstring& temp : spellingsOf(package.tempDir(), drive)) {
    SCOPED_TRACE(testsupport::Narrow(temp));
    useTemp(package, temp);
    const testsupport::RunResult second = package.Run({});
    EXPECT_EQ(second.exitCode, static_cast<DWORD>(ERROR_INSTALL_ALREADY_RUNNING)) << TraceText(second);
    EXPECT_EQ(testsupport::ReadTree(package.stagingDir()), staged);
    package.environment.resize(package.environment.size() - 2);
  }
  SetEvent(release.get());
  EXPECT_EQ(first.get().exitCode, 0u);
  EXPECT_EQ(package.Records().size(), 1u);
}

// Links: the launcher never deletes through one, so nothing outside the
// staging directory goes; on Windows it removes them as links. Wine's
// CreateSymbolicLink makes no link, so these skip there; links_test.sh makes
// them from the Linux side instead and checks Wine's way (links that stay,
// a fresh sibling).
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
  if (attributes == INVALID_FILE_ATTRIBUTES && !fs::exists(package_.stagingDir())) {
    // Either no link was made, or it was removed as a link with the rest.
    EXPECT_EQ(testsupport::ReadFile(outside_ / L"precious.txt"), "keep me");
    return;
  }
  EXPECT_THAT(TraceText(run), HasSubstr("outside-link is a link that cannot be removed without following it"));
  EXPECT_EQ(testsupport::ReadFile(outside_ / L"precious.txt"), "keep me");
}

TEST_F(LauncherLinks, AStagingDirectoryThatIsALinkIsRemovedAsALinkAndNotFollowed) {
  fs::create_directories(package_.tempDir());
  CreateSymbolicLinkW(package_.stagingDir().c_str(), outside_.c_str(),
                      SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  WIN32_FIND_DATAW entry;
  rav::UniqueFindHandle made(FindFirstFileW(package_.stagingDir().c_str(), &entry));
  if (!made || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    GTEST_SKIP() << "this platform made no link";
  }
  const testsupport::RunResult run = package_.Run({});
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(package_.Records().size(), 1u);
  EXPECT_EQ(testsupport::ReadFile(outside_ / L"precious.txt"), "keep me");
  EXPECT_FALSE(fs::exists(outside_ / L"prog.exe")) << "nothing was copied through the link";
}

}  // namespace
}  // namespace launcher_test
