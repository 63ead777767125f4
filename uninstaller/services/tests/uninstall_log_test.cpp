// The uninstall log, through fresh processes: each has its own Start and End.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "testsupport/dir_tree.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"
#include "uninstaller/services/tests/services_test_support.h"

namespace {

using ::testing::ElementsAre;
using ::testing::SizeIs;

// "HH:MM:SS: " then the message.
std::string Stamped(const std::string& message) { return R"(\d\d:\d\d:\d\d: )" + message; }

std::string Escaped(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)");
}

std::string Header(const char* event, DWORD processId) {
  const std::string probe = testsupport::Narrow(testsupport::BinPath(L"services_probe.exe").wstring());
  return Stamped(std::string(event) + " -- \"" + Escaped(probe) + R"(", Version 6\.31\.165\.2 \(r465353\), PID )" +
                 std::to_string(processId));
}

// The file's lines, each of which must end in CR LF.
std::vector<std::string> LogLines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < content.size()) {
    const std::size_t end = content.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "a line without CR LF";
    if (end == std::string::npos) break;
    EXPECT_EQ(content.substr(at, end - at).find('\n'), std::string::npos) << "a bare LF";
    lines.push_back(content.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

void ExpectMatches(const std::vector<std::string>& lines, const std::vector<std::string>& patterns) {
  ASSERT_THAT(lines, SizeIs(patterns.size()));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(patterns[i]))) << lines[i] << "\n  !~ " << patterns[i];
  }
}

TEST(UninstallLog, RunsAppendWithHeadersAndCrLf) {
  testsupport::TempDir scratch;
  const std::wstring log = (scratch.path() / L"ravwl.log").wstring();
  const testsupport::RunResult first = services_test::RunProbe({L"log", log, L"first run", L"caf\u00e9"});
  const testsupport::RunResult second = services_test::RunProbe({L"log", log, L"second run"});
  ASSERT_TRUE(first.started);
  EXPECT_EQ(first.standardOutput, "0\r\n");

  const std::string content = testsupport::ReadFile(scratch.path() / L"ravwl.log");
  ExpectMatches(LogLines(content), {
                                       Header("Start", first.processId),
                                       Stamped("first run"),
                                       Stamped("caf\xC3\xA9"),
                                       Header("End", first.processId),
                                       Header("Start", second.processId),
                                       Stamped("second run"),
                                       Header("End", second.processId),
                                   });
  EXPECT_NE(content.find("caf\xC3\xA9\r\n"), std::string::npos);
  EXPECT_EQ(content.rfind("\xEF\xBB\xBF", 0), std::string::npos) << "no byte-order mark";
  // Before the log file opened, the Start header went to standard error.
  ExpectMatches(testsupport::SplitLines(first.standardError), {Header("Start", first.processId)});
}

TEST(UninstallLog, MessagesAreCutAt2048AndBadTextIsKept) {
  testsupport::TempDir scratch;
  const std::wstring log = (scratch.path() / L"ravwl.log").wstring();
  const std::wstring exact(2048, L'a');
  const std::wstring longer = std::wstring(2048, L'b') + L"cut";
  const std::wstring unpaired = std::wstring(L"x") + wchar_t(0xD800) + L"y";
  services_test::RunProbe({L"log", log, exact, longer, unpaired});
  const std::vector<std::string> lines = LogLines(testsupport::ReadFile(scratch.path() / L"ravwl.log"));
  ASSERT_THAT(lines, SizeIs(5));
  // The stamp is 10 characters; the message ends with the format's LF, which
  // counts toward the 2,048.
  EXPECT_EQ(lines[1].substr(10), std::string(2047, 'a'));
  EXPECT_EQ(lines[2].substr(10), std::string(2047, 'b'));
  EXPECT_EQ(lines[3].substr(10), "x\xEF\xBF\xBDy");
}

TEST(UninstallLog, FailedOpenDropsLaterLines) {
  testsupport::TempDir scratch;
  const std::wstring log = (scratch.path() / L"missing" / L"ravwl.log").wstring();
  const testsupport::RunResult run = services_test::RunProbe({L"log", log, L"dropped"});
  EXPECT_EQ(run.standardOutput, "-1\r\n");
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / L"missing"));
  // Only the Start header from program start; no line and no End anywhere.
  ExpectMatches(testsupport::SplitLines(run.standardError), {Header("Start", run.processId)});
}

// Running as administrator in a directory its user controls, the program
// must not append to a file that ravwl.log only leads to. Each row makes
// ravwl.log something else than a plain file of its own; nothing may be
// written, and the trace says why.
TEST(UninstallLog, ANameThatLeadsElsewhereGetsNoLog) {
  struct Row {
    const char* name;
    // Makes `log` lead elsewhere, beside `other` (a file with content).
    bool (*make)(const std::filesystem::path& log, const std::filesystem::path& other);
    const char* why;
  };
  const Row rows[] = {
      // Any process of the user can add a name to a file it can read, with
      // no privilege. Wine reports the second name in nNumberOfLinks, as
      // Windows does.
      {"a second name of another file",
       [](const std::filesystem::path& log, const std::filesystem::path& other) {
         return CreateHardLinkW(log.c_str(), other.c_str(), nullptr) != FALSE;
       },
       "is a file with more than one name (a hard link), not written through; no log is written"},
      {"a directory",
       [](const std::filesystem::path& log, const std::filesystem::path&) {
         return std::filesystem::create_directory(log);
       },
       "cannot be opened (error 5); no log is written"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testsupport::TempDir scratch;
    const std::filesystem::path log = scratch.path() / L"ravwl.log";
    const std::filesystem::path other = scratch.path() / L"other.txt";
    testsupport::WriteFile(other, "precious\n");
    ASSERT_TRUE(row.make(log, other));
    const testsupport::RunResult run = services_test::RunProbe({L"log", log.wstring(), L"a line"});
    EXPECT_EQ(run.standardOutput, "-1\r\n");
    EXPECT_EQ(testsupport::ReadFile(other), "precious\n");
    EXPECT_THAT(run.DebugLines(), ::testing::Contains("LogOpen: " + testsupport::Narrow(log.wstring()) + " " + row.why));
  }
}

}  // namespace
