// The real launcher.exe under the platform, against stand-in setup programs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <regex>

#include "common/core/ascii_case.h"
#include "launcher/tests/launcher_package.h"
#include "launcher/core/usage_text.h"
#include "testsupport/registry_values.h"

namespace launcher_test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;

constexpr wchar_t kStatusKey[] = L"SOFTWARE\\RavSetup\\Status";
constexpr char kPrefix[] = "*** LAUNCHER ***: ";

// The launcher's lines without their prefix; every line must carry it and
// end in CR LF.
std::vector<std::string> LauncherLines(const testsupport::RunResult& run) {
  std::vector<std::string> lines;
  for (const testsupport::DebugMessage& message : run.debugOutput) {
    EXPECT_EQ(message.text.rfind(kPrefix, 0), 0u) << message.text;
    EXPECT_TRUE(message.text.size() >= 2 && message.text.substr(message.text.size() - 2) == "\r\n") << message.text;
    std::string line = message.text.substr(std::min(message.text.size(), sizeof kPrefix - 1));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool Matches(const std::string& text, const std::string& pattern) {
  return std::regex_match(text, std::regex(pattern));
}

// Standard output is a text-mode stream: every LF reaches the pipe as CR LF.
std::string AsTextModeOutput(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}


class LauncherProcess : public ::testing::Test {
 protected:
  testsupport::ScopedRegistryKey status_{HKEY_CURRENT_USER, kStatusKey};
  LauncherPackage package_;
};

TEST_F(LauncherProcess, HelpSwitchesPrintUsageAndDoNothingElse) {
  package_.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe\n");
  package_.AddProgram("prog.exe");
  const std::vector<std::vector<std::wstring>> helpRuns = {{L"/s", L"/?"}, {L"/HELP"}, {L"/help"}, {L"-Help"}};
  for (const auto& arguments : helpRuns) {
    SCOPED_TRACE(testing::PrintToString(arguments.size()) + " arguments");
    const testsupport::RunResult run = package_.Run(arguments);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.standardOutput, AsTextModeOutput(launcher::kUsageText));
    EXPECT_FALSE(fs::exists(package_.stagingDir()));
    EXPECT_THAT(package_.Records(), IsEmpty());
    const std::vector<std::string> lines = LauncherLines(run);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Window Title: " + Ansi(package_.setupExe()));
    EXPECT_TRUE(Matches(lines[1], "(Found Window Handle: -?[0-9]+|Failed to Find Window Handle: 0)")) << lines[1];
    // Arguments before the help switch are logged; nothing after it happens.
    if (arguments.size() == 2) {
      EXPECT_THAT(lines, ElementsAre(lines[0], lines[1], "argv[1]: /s"));
    } else {
      EXPECT_THAT(lines, SizeIs(2));
    }
  }
}

TEST_F(LauncherProcess, HelpmeIsPassedOnLikeAnyArgument) {
  package_.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe\n");
  package_.AddProgram("prog.exe");
  const testsupport::RunResult run = package_.Run({L"/helpme"});
  EXPECT_EQ(run.standardOutput, "");
  ASSERT_THAT(package_.Records(), SizeIs(1));
  EXPECT_EQ(package_.Records()[0].commandLine, "  /helpme ");
}

TEST_F(LauncherProcess, ExitCodeIsTheErrorCodeTheSetupLeft) {
  package_.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe\n");
  package_.AddProgram("prog.exe");
  package_.SetErrorCodeForPrograms(1603);
  // Written a while after the start: a launcher that does not wait for its
  // program reads nothing (and deletes the copy under it).
  package_.environment.push_back({L"RAV_RECORDER_DELAY_MS", L"500"});
  const testsupport::RunResult run = package_.Run({});
  EXPECT_EQ(run.exitCode, 1603u);
  EXPECT_THAT(LauncherLines(run), Contains("Error occured. Return Code: 1603"));
}

TEST_F(LauncherProcess, MissingStatusKeyGivesZeroAndLogsTheReason) {
  package_.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe\n");
  package_.AddProgram("prog.exe");
  const testsupport::RunResult run = package_.Run({});
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_THAT(LauncherLines(run),
              Contains("Error!!! Failed to open registry to get setup error code. Reason: 2"));
}

TEST_F(LauncherProcess, ChildRunsFromStagedCopyWithEntryAndArgumentText) {
  struct Case {
    const char* entry;
    std::vector<std::wstring> arguments;
    const char* commandLine;
  };
  const Case cases[] = {
      {"prog.exe /x", {L"/s", L"/f2C:\\log.txt"}, " /x /s /f2C:\\log.txt "},
      {"prog.exe", {}, "  "},
      {"prog.exe /x", {L"/f1C:\\My Files\\setup.iss"}, " /x /f1\"C:\\My Files\\setup.iss\" "},
      {"prog.exe", {L"/sms", L"/f2My Log.txt"}, "  /sms /f2My Log.txt "},
      // The backslash that ends the path is doubled, or it would escape the
      // closing quote and take /s into the argument.
      {"prog.exe", {L"/f1C:\\My Files\\", L"/s"}, "  /f1\"C:\\My Files\\\\\" /s "},
      // Not "..." as a whole: the profile reader would strip that pair.
      {"\"sub dir\\my prog.exe\" /a \"b c\" /z", {L"/s"}, " /a \"b c\" /z /s "},
  };
  package_.AddProgram("prog.exe");
  package_.AddProgram("sub dir/my prog.exe");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    fs::remove(package_.root() / L"records.txt");
    package_.WriteIni(std::string("[LAUNCHLIST]\nFILE0=") + c.entry + "\n");
    const testsupport::RunResult run = package_.Run(c.arguments);
    EXPECT_EQ(run.exitCode, 0u);
    const std::vector<Record> records = package_.Records();
    ASSERT_THAT(records, SizeIs(1));
    EXPECT_EQ(records[0].commandLine, c.commandLine);
    const std::string program = std::string(c.entry).find("sub dir") != std::string::npos ? "sub dir\\my prog.exe"
                                                                                            : "prog.exe";
    EXPECT_EQ(rav::AsciiLowered(records[0].image), rav::AsciiLowered(Ansi(package_.stagingDir()) + "\\" + program));
    EXPECT_EQ(rav::AsciiLowered(records[0].cwd), rav::AsciiLowered(Ansi(package_.workDir())));
    EXPECT_FALSE(fs::exists(package_.stagingDir()));
  }
}

TEST_F(LauncherProcess, ErrorCheckingDecidesHowManyEntriesRun) {
  package_.AddProgram("prog.exe");
  const std::string list = "[LAUNCHLIST]\nFILE0=prog.exe --set-error=10\nFILE1=prog.exe --set-error=11\n"
                           "FILE3=prog.exe --set-error=13\n";
  const std::pair<const char*, size_t> cases[] = {
      {"", 1}, {"[OPTIONS]\nCHECKERROR=\n", 1}, {"[OPTIONS]\nCHECKERROR=Y\n", 1},
      {"[OPTIONS]\nCHECKERROR=yes\n", 1}, {"[OPTIONS]\nCHECKERROR=0\n", 1}, {"[OPTIONS]\nCHECKERROR=N\n", 2},
      {"[options]\ncheckerror=no\n", 2}, {"[OPTIONS]\nCHECKERROR=Never\n", 2},
  };
  for (const auto& [options, expectedRuns] : cases) {
    SCOPED_TRACE(options);
    fs::remove(package_.root() / L"records.txt");
    // Each case starts without a status. Wine leaves a key's last write time
    // alone when a value is set to what it holds already (Windows does not),
    // so there a repeated 10 would not count as written by this run.
    ASSERT_TRUE(testsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kStatusKey));
    package_.WriteIni(std::string(options) + list);
    const testsupport::RunResult run = package_.Run({});
    const std::vector<Record> records = package_.Records();
    ASSERT_THAT(records, SizeIs(expectedRuns));
    EXPECT_THAT(records[0].commandLine, HasSubstr("--set-error=10"));
    if (expectedRuns == 2) {
      EXPECT_THAT(records[1].commandLine, HasSubstr("--set-error=11"));
      EXPECT_EQ(run.exitCode, 11u);
      EXPECT_THAT(LauncherLines(run), Contains("Launcher: Error Checking Disabled"));
    } else {
      EXPECT_EQ(run.exitCode, 10u);
      EXPECT_THAT(LauncherLines(run), Not(Contains("Launcher: Error Checking Disabled")));
    }
  }
}

TEST_F(LauncherProcess, StagesTheWholeTreeButDotDirectoriesAndRemovesIt) {
  package_.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe\n");
  package_.AddProgram("prog.exe");
  package_.AddFile("a/b/c/file.txt", "deep");
  package_.AddFile("a/top.txt", "top");
  package_.AddFile(".svn/entries", "not staged");
  package_.AddFile(".config", "staged");
  fs::create_directories(package_.packageDir() / L"empty");
  const fs::path snapshot = package_.root() / L"snapshot";
  package_.SnapshotStagingInto(snapshot);

  const testsupport::RunResult run = package_.Run({});
  EXPECT_EQ(run.exitCode, 0u);

  testsupport::Tree expected = testsupport::ReadTree(package_.packageDir());
  expected.erase(".svn");
  expected.erase(".svn/entries");
  EXPECT_EQ(testsupport::ReadTree(snapshot), expected);
  EXPECT_FALSE(fs::exists(package_.stagingDir()));

  const std::vector<std::string> lines = LauncherLines(run);
  const std::string source = Ansi(package_.packageDir());
  auto at = [&lines](const std::string& line) { return std::find(lines.begin(), lines.end(), line) - lines.begin(); };
  const auto a = at("Source Directory: " + source + "\\a");
  const auto b = at("Source Directory: " + source + "\\a\\b");
  const auto c = at("Source Directory: " + source + "\\a\\b\\c");
  const auto file = at("Copied File: " + source + "\\a\\b\\c\\file.txt");
  ASSERT_LT(file, static_cast<long>(lines.size()));
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_LT(c, file);
  EXPECT_THAT(lines, Contains("Special directory: " + source + "\\.svn"));
  EXPECT_THAT(lines, Contains("Copied File: " + source + "\\.config"));
  EXPECT_THAT(lines, Contains("CleanupSetupFiles(): Cleaning up setup files from " + Ansi(package_.stagingDir())));
}

TEST_F(LauncherProcess, MissingProgramIsLoggedAndStagingStillRemoved) {
  package_.WriteIni("[LAUNCHLIST]\nFILE0=missing.exe\n");
  const testsupport::RunResult run = package_.Run({});
  const std::vector<std::string> lines = LauncherLines(run);
  const std::string program = Ansi(package_.stagingDir()) + "\\missing.exe";
  EXPECT_THAT(lines, Contains("CreateProcess() failed to create and launch process: " + program + "."));
  EXPECT_THAT(lines, Contains(program + " returned 0x00000002"));
  EXPECT_THAT(lines, Contains("Error!!! Failed to open registry to get setup error code. Reason: 2"));
  EXPECT_FALSE(fs::exists(package_.stagingDir()));
  // The setup never ran: its start error is the result, not a success.
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(LauncherProcess, DebugLinesOfARunFollowTheRunSequence) {
  package_.WriteIni("[LAUNCHLIST]\nFILE0=prog.exe /x\n");
  package_.AddProgram("prog.exe");
  package_.SetErrorCodeForPrograms(5);
  const testsupport::RunResult run = package_.Run({L"/s", L"/f1C:\\My Files\\r.iss"});
  EXPECT_EQ(run.exitCode, 5u);

  const std::string source = Ansi(package_.packageDir());
  const std::string staging = Ansi(package_.stagingDir());
  std::vector<std::string> lines = LauncherLines(run);
  // The copy follows the file system's listing order; compare those apart.
  std::vector<std::string> copies;
  std::erase_if(lines, [&copies](const std::string& line) {
    if (line.rfind("Copied File: ", 0) != 0 && line.rfind("Special directory: ", 0) != 0) return false;
    copies.push_back(line);
    return true;
  });
  std::sort(copies.begin(), copies.end());
  EXPECT_THAT(copies, ElementsAre("Copied File: " + source + "\\Setup.exe", "Copied File: " + source + "\\launcher.ini",
                                  "Copied File: " + source + "\\prog.exe", "Special directory: " + source + "\\.",
                                  "Special directory: " + source + "\\.."));
  ASSERT_THAT(lines, SizeIs(15));
  EXPECT_EQ(lines[0], "Window Title: " + source + "\\Setup.exe");
  EXPECT_TRUE(Matches(lines[12], std::regex_replace(staging, std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)") +
                                     R"(\\prog\.exe returned 0x[0-9a-f]{8})"))
      << lines[12];
  EXPECT_THAT(std::vector<std::string>(lines.begin() + 2, lines.end()),
              ElementsAreArray({
                  std::string("argv[1]: /s"),
                  std::string("argv[2]: /f1C:\\My Files\\r.iss"),
                  std::string("argv[2] contains blank space."),
                  std::string("Commandline argument after adding quotes: /f1\"C:\\My Files\\r.iss\""),
                  std::string("Command: prog.exe"),
                  std::string("Arguments: /x"),
                  "FILE0: \"" + source + "\\prog.exe\"",
                  "Launch String: " + staging + "\\prog.exe",
                  std::string("Commandline:  /x /s /f1\"C:\\My Files\\r.iss\""),
                  std::string("Finished waiting for the process."),
                  lines[12],
                  std::string("Error occured. Return Code: 5"),
                  "CleanupSetupFiles(): Cleaning up setup files from " + staging,
              }));
}

}  // namespace
}  // namespace launcher_test
