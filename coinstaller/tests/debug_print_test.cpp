// The co-installer's debug lines as the debugger channel receives them, and
// the same lines in the device installation's text log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdarg>
#include <optional>

#include "coinstaller/debug_print.h"
#include "testsupport/debug_capture.h"

namespace coinstaller {
namespace {

TEST(DebugPrint, EachCallIsOnePrefixedLineEndingInOneCrLf) {
  testsupport::InProcessDebugCapture capture;
  DebugPrint("DIF_REMOVE");
  DebugPrint("Inf Section: %s%s", "RowCard", ".NTamd64 \t\r\n\n");
  DebugPrint("%s", "Corvane 802.11 (100% channels, %s %n %%)");
  DebugPrint("[err=%ld]", -536870386L);
  const std::vector<testsupport::DebugMessage> messages = capture.Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].text, "*** RAVCOINST ***: DIF_REMOVE\r\n");
  EXPECT_EQ(messages[1].text, "*** RAVCOINST ***: Inf Section: RowCard.NTamd64\r\n");
  EXPECT_EQ(messages[2].text, "*** RAVCOINST ***: Corvane 802.11 (100% channels, %s %n %%)\r\n");
  EXPECT_EQ(messages[3].text, "*** RAVCOINST ***: [err=-536870386]\r\n");
}

TEST(DebugPrint, TextOver4092CharactersIsCutAndStillEndsInCrLf) {
  testsupport::InProcessDebugCapture capture;
  const std::string text = std::string(4091, 'a') + "bc" + std::string(3000, 'd');
  DebugPrint("%s", text.c_str());
  // A cut that lands in trailing blanks drops them too.
  DebugPrint("%s", (std::string(4090, 'a') + "    z").c_str());
  const std::vector<testsupport::DebugMessage> messages = capture.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "*** RAVCOINST ***: " + std::string(4091, 'a') + "b\r\n");
  EXPECT_EQ(messages[1].text, "*** RAVCOINST ***: " + std::string(4090, 'a') + "\r\n");
}

TEST(DebugPrint, LeavesTheLastErrorAsItWas) {
  testsupport::InProcessDebugCapture capture;
  SetLastError(1234);
  DebugPrint("Could not delete backup inf file, error: %ld", LastErrorCode());
  EXPECT_EQ(GetLastError(), 1234u);
  EXPECT_THAT(capture.Lines(), testing::ElementsAre("*** RAVCOINST ***: Could not delete backup inf file, error: 1234"));
}

// The text log's two calls, replaced: Wine has no text log, and Windows
// keeps its entries in a file the test cannot tell apart from the platform's
// own. What the co-installer handed to them:
struct TextLogEntry {
  LogToken token = 0;
  DWORD category = 0;
  DWORD flags = 0;
  std::string format;
  std::string text;  // the "%s" argument
};
std::vector<TextLogEntry> entries;
LogToken threadToken = 0;

LogToken WINAPI ThreadToken() { return threadToken; }

void __cdecl RecordEntry(LogToken token, DWORD category, DWORD flags, const char* format, ...) {
  TextLogEntry entry{token, category, flags, format, ""};
  if (entry.format == "%s") {
    va_list args;
    va_start(args, format);
    entry.text = va_arg(args, const char*);
    va_end(args);
  }
  entries.push_back(entry);
  SetLastError(ERROR_GEN_FAILURE);  // the platform's calls may change it
}

void WriteLine(const TextLogCalls& calls, LineKind kind, const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteDebugLine(calls, kind, format, args);
  va_end(args);
}

TEST(TextLog, EveryDebugLineGoesIntoTheInstallationsSectionAsText) {
  const TextLogCalls recording{&ThreadToken, &RecordEntry};
  const std::string prefix = "*** RAVCOINST ***: ";
  // Cut at 4,092 characters, inside "b " : the blank goes too.
  const std::string longText = std::string(4090, 'a') + "b " + std::string(300, 'd');
  struct Row {
    const char* name;
    TextLogCalls calls;
    LogToken threadToken;
    LineKind kind;
    const char* format;
    std::string argument;
    std::string text;                      // of the debug line, without its CR LF
    std::optional<TextLogEntry> expected;  // none: nothing goes to the text log
  };
  const Row rows[] = {
      {"a step", recording, 0x1234567890abcdefULL, LineKind::kDetails, "%s", "DIF_REMOVE", prefix + "DIF_REMOVE",
       TextLogEntry{0x1234567890abcdefULL, 0x80000000, 5, "%s", prefix + "DIF_REMOVE"}},
      {"a failure", recording, 42, LineKind::kFailure, "Could not backup inf file, error: %s", "5",
       prefix + "Could not backup inf file, error: 5",
       TextLogEntry{42, 0x80000000, 1, "%s", prefix + "Could not backup inf file, error: 5"}},
      {"outside text with printf directives", recording, 42, LineKind::kDetails, "%s", "100% channels, %s %n %%",
       prefix + "100% channels, %s %n %%", TextLogEntry{42, 0x80000000, 5, "%s", prefix + "100% channels, %s %n %%"}},
      {"the cut and trailing white space", recording, 42, LineKind::kDetails, "%s", longText,
       prefix + std::string(4090, 'a') + "b",
       TextLogEntry{42, 0x80000000, 5, "%s", prefix + std::string(4090, 'a') + "b"}},
      {"a thread without a log token writes into setupapi.dev.log", recording, 0, LineKind::kFailure, "%s", "x",
       prefix + "x", TextLogEntry{3, 0x80000000, 1, "%s", prefix + "x"}},
      {"no text-log calls (XP, Wine)", TextLogCalls{}, 42, LineKind::kFailure, "%s", "x", prefix + "x", std::nullopt},
      {"only one of the calls", TextLogCalls{nullptr, &RecordEntry}, 42, LineKind::kDetails, "%s", "x", prefix + "x",
       std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    entries.clear();
    threadToken = row.threadToken;
    testsupport::InProcessDebugCapture capture;
    SetLastError(1234);
    WriteLine(row.calls, row.kind, row.format, row.argument.c_str());
    EXPECT_EQ(GetLastError(), 1234u);
    const std::vector<testsupport::DebugMessage> messages = capture.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, row.text + "\r\n") << "the debug line stays byte for byte";
    if (!row.expected) {
      EXPECT_TRUE(entries.empty());
      continue;
    }
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].token, row.expected->token);
    EXPECT_EQ(entries[0].category, row.expected->category);
    EXPECT_EQ(entries[0].flags, row.expected->flags);
    EXPECT_EQ(entries[0].format, row.expected->format);
    EXPECT_EQ(entries[0].text, row.expected->text);
  }
}

// Where setupapi.dll lacks the calls (Wine 8, XP), the lookup finds none and
// DebugPrint is what it always was: the debug line alone.
TEST(TextLog, WithoutTheCallsOnlyTheDebugLineIsWritten) {
  const HMODULE setupapi = GetModuleHandleA("setupapi.dll");
  ASSERT_NE(setupapi, nullptr);
  const bool platformHasThem = GetProcAddress(setupapi, "SetupGetThreadLogToken") != nullptr &&
                               GetProcAddress(setupapi, "SetupWriteTextLog") != nullptr;
  EXPECT_EQ(SystemTextLogCalls().present(), platformHasThem);
  EXPECT_FALSE(FindTextLogCalls(GetModuleHandleA("kernel32.dll")).present());
  EXPECT_FALSE(FindTextLogCalls(nullptr).present());
  if (platformHasThem) GTEST_SKIP() << "this platform has a text log; the table above covers it";
  testsupport::InProcessDebugCapture capture;
  SetLastError(1234);
  DebugPrintFailure("Failed to open driver registry. [err=%ld]", 2L);
  DebugPrint("%s", "DIF_REMOVE");
  EXPECT_EQ(GetLastError(), 1234u);
  const std::vector<testsupport::DebugMessage> messages = capture.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "*** RAVCOINST ***: Failed to open driver registry. [err=2]\r\n");
  EXPECT_EQ(messages[1].text, "*** RAVCOINST ***: DIF_REMOVE\r\n");
}

}  // namespace
}  // namespace coinstaller
