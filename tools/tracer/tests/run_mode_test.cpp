// ravtrace run against debug_writer.exe: what a support engineer sees when
// ravtrace starts a program as its debugger.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "common/core/argument_quote.h"
#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"
#include "testsupport/text.h"
#include "tools/tracer/tests/ravtrace_driver.h"
#include "tools/tracer/core/trace_line.h"
#include "tools/tracer/core/trace_options.h"

namespace tracer_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using rav::QuoteArgument;
using testsupport::RunResult;

RunResult RunTraced(const std::wstring& options, const std::wstring& actions) {
  return RunRavtrace(L"run " + options + (options.empty() ? L"" : L" ") + L"-- " + QuoteArgument(WriterPath()) + L" " +
                     actions);
}

std::string ExitCodeLine(DWORD code) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lx", static_cast<unsigned long>(code));
  return "ravtrace: exit code " + std::to_string(code) + " (" + hex + ")\r\n";
}

TEST(RunMode, PrintsEachLineWithTimeProcessIdAndImage) {
  const int before = MillisecondOfDayNow();
  // A narrow line with CR LF, one without a line end, a wide one with LF,
  // three lines in one string.
  const RunResult run = RunTraced(L"", L"pid a:one raw:two w:thr\u00e9e lines:l1|l2|l3 a:last");
  const int after = MillisecondOfDayNow();
  ASSERT_TRUE(run.started);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0u);
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  const DWORD writer = WriterPid(lines);
  ASSERT_NE(writer, 0u) << run.standardOutput;
  EXPECT_NE(writer, run.processId) << "the writer's ID, not ravtrace's";
  EXPECT_THAT(TextsOf(lines, writer),
              ElementsAre("pid=" + std::to_string(writer), "one", "two", "thr\u00e9e", "l1", "l2", "l3", "last"));
  ASSERT_THAT(lines, SizeIs(8)) << run.standardOutput;
  int previous = before;
  for (const PrintedLine& line : lines) {
    EXPECT_EQ(line.image, "debug_writer.exe");
    // The local time the line came in (a run over midnight is not checked).
    if (before <= after) {
      EXPECT_GE(line.millisecondOfDay, previous) << line.text;
      EXPECT_LE(line.millisecondOfDay, after) << line.text;
      previous = line.millisecondOfDay;
    }
  }
  EXPECT_EQ(run.standardError, ExitCodeLine(0));
}

TEST(RunMode, ProgramsOwnOutputGoesWhereRavtracesGoes) {
  const RunResult run = RunTraced(L"", L"out:hello a:traced");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_THAT(run.standardOutput, HasSubstr("hello\r\n"));
  EXPECT_THAT(run.standardOutput, HasSubstr("debug_writer.exe: traced\r\n"));
}

TEST(RunMode, HandsTheProgramItsArgumentsAsTyped) {
  // ravuninst reads /rootdir="DIR" with its quotes: quoting the parsed
  // argument anew would hand it "/rootdir=DIR".
  const RunResult run = RunTraced(L"", L"cmdline note:/rootdir=\"C:\\P F\" \"two words\"  last");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_THAT(run.standardOutput, HasSubstr(" cmdline note:/rootdir=\"C:\\P F\" \"two words\"  last\r\n"));
}

TEST(RunMode, ExitsWithTheProgramsExitCodeAndPrintsIt) {
  struct Row {
    const wchar_t* action;
    DWORD code;
  };
  for (const Row& row : {Row{L"exit:0", 0}, Row{L"exit:3", 3}, Row{L"exit:3010", 3010},
                         Row{L"exit:-1", 0xFFFFFFFFu}, Row{L"exit:-2147024891", 0x80070005u}}) {
    SCOPED_TRACE(testsupport::Narrow(row.action));
    const RunResult run = RunTraced(L"", std::wstring(L"a:x ") + row.action);
    EXPECT_EQ(run.exitCode, row.code);
    EXPECT_EQ(run.standardError, ExitCodeLine(row.code));
  }
}

TEST(RunMode, LongLineArrivesWhole) {
  // A debugger reads the whole string, however long (the channel of
  // `listen` cuts it; see the listen tests).
  const RunResult run = RunTraced(L"", L"long:5000 long:4091 a:after");
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  ASSERT_THAT(lines, SizeIs(3)) << run.standardOutput.substr(0, 200);
  EXPECT_EQ(lines[0].text, std::string(5000, 'x'));
  EXPECT_EQ(lines[1].text, std::string(4091, 'x'));
  EXPECT_EQ(lines[2].text, "after");
}

TEST(RunMode, FilterKeepsLinesStartingWithTheText) {
  const RunResult run =
      RunTraced(L"--filter keep", rav::JoinArguments({L"a:keep one", L"a:drop two", L"lines:keep three|not keep|keep four", L"raw:keep"}));
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  std::vector<std::string> texts;
  for (const PrintedLine& line : lines) texts.push_back(line.text);
  EXPECT_THAT(texts, ElementsAre("keep one", "keep three", "keep four", "keep"));
  EXPECT_EQ(run.exitCode, 0u);
}

TEST(RunMode, OutputFileGetsTheSameLinesAppendedInUtf8) {
  testsupport::TempDir scratch;
  const std::filesystem::path file = scratch.path() / L"trace.log";
  testsupport::WriteFile(file, "earlier line\r\n");
  const std::wstring option = L"--output " + QuoteArgument(file.wstring());
  const RunResult first = RunTraced(option, L"a:first w:caf\u00e9");
  const RunResult second = RunTraced(option + L" --filter s", L"a:second a:dropped");
  ASSERT_THAT(ParsePrinted(first.standardOutput), SizeIs(2));
  ASSERT_THAT(ParsePrinted(second.standardOutput), SizeIs(1));
  EXPECT_THAT(first.standardOutput, HasSubstr(": caf\xc3\xa9\r\n"));
  EXPECT_EQ(testsupport::ReadFile(file), "earlier line\r\n" + first.standardOutput + second.standardOutput);
}

TEST(RunMode, OutputFileThatCannotBeOpenedStartsNothing) {
  testsupport::TempDir scratch;
  const std::filesystem::path file = scratch.path() / L"no such dir" / L"trace.log";
  const RunResult run = RunTraced(L"--output " + QuoteArgument(file.wstring()), L"a:never exit:7");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_THAT(run.standardError, HasSubstr("ravtrace: cannot open "));
  EXPECT_THAT(run.standardError, Not(HasSubstr("exit code")));
  EXPECT_THAT(run.standardOutput, IsEmpty());
}

TEST(RunMode, ProgramThatExitsWhileWriting) {
  // A second thread writes numbered lines as fast as it can; the program
  // exits under it. ravtrace must end (not hang), report the exit code and
  // have printed whole lines in order: a debugger loses none of them.
  const RunResult run = RunTraced(L"", L"exit:5 flood");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 5u);
  EXPECT_EQ(run.standardError, ExitCodeLine(5));
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  ASSERT_THAT(lines, Not(IsEmpty()));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].text, "flood " + std::to_string(i)) << "line " << i;
  }
}

TEST(RunMode, FollowsTheProgramsChildrenOnlyWhenAsked) {
  const std::wstring actions = rav::JoinArguments({L"pid", L"a:parent", L"spawn:pid a:child", L"a:after"});
  const RunResult alone = RunTraced(L"", actions);
  const std::vector<PrintedLine> aloneLines = ParsePrinted(alone.standardOutput);
  const DWORD parent = WriterPid(aloneLines);
  std::vector<std::string> texts;
  for (const PrintedLine& line : aloneLines) texts.push_back(line.text);
  EXPECT_THAT(texts, ElementsAre("pid=" + std::to_string(parent), "parent", "after"));

  const RunResult family = RunTraced(L"--children", actions);
  EXPECT_EQ(family.exitCode, 0u);
  const std::vector<PrintedLine> lines = ParsePrinted(family.standardOutput);
  ASSERT_THAT(lines, SizeIs(5)) << family.standardOutput;
  const DWORD parentId = lines[0].processId;
  const DWORD childId = lines[2].processId;
  EXPECT_NE(parentId, childId);
  EXPECT_THAT(TextsOf(lines, parentId), ElementsAre("pid=" + std::to_string(parentId), "parent", "after"));
  EXPECT_THAT(TextsOf(lines, childId), ElementsAre("pid=" + std::to_string(childId), "child"));
  for (const PrintedLine& line : lines) EXPECT_EQ(line.image, "debug_writer.exe");
}

TEST(RunMode, TimeoutEndsTheProgram) {
  const RunResult run = RunTraced(L"--timeout 1", L"a:before sleep:60000 a:never");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0xDEADu);
  std::vector<std::string> texts;
  for (const PrintedLine& line : ParsePrinted(run.standardOutput)) texts.push_back(line.text);
  EXPECT_THAT(texts, ElementsAre("before"));
  EXPECT_THAT(run.standardError, HasSubstr(" was ended after 1 s\r\n"));
  EXPECT_THAT(run.standardError, HasSubstr(ExitCodeLine(0xDEAD)));
}

TEST(RunMode, ATimeoutLongerThanAWaitHoldsDoesNotEndTheProgramEarly) {
  // 4,294,968 s is 4,294,968,000 ms: cut to 32 bits that would be 704 ms.
  const RunResult run = RunTraced(L"--timeout 4294968", L"sleep:2000 a:woke exit:4");
  EXPECT_EQ(run.exitCode, 4u);
  std::vector<std::string> texts;
  for (const PrintedLine& line : ParsePrinted(run.standardOutput)) texts.push_back(line.text);
  EXPECT_THAT(texts, ElementsAre("woke"));
}

TEST(RunMode, ReportsAProgramThatCannotStart) {
  const RunResult run = RunRavtrace(L"run -- \"C:\\no\\such\\program.exe\" /x");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_THAT(run.standardError, HasSubstr("ravtrace: cannot start \"C:\\no\\such\\program.exe\" /x (error "));
  EXPECT_THAT(run.standardError, Not(HasSubstr("exit code")));
  EXPECT_THAT(run.standardOutput, IsEmpty());
}

TEST(Usage, HelpPrintsTheUsageText) {
  for (const wchar_t* help : {L"--help", L"/?", L"run --help"}) {
    const RunResult run = RunRavtrace(help);
    EXPECT_EQ(run.exitCode, 0u) << testsupport::Narrow(help);
    EXPECT_EQ(run.standardOutput, tracer::WithCrLf(tracer::UsageText())) << testsupport::Narrow(help);
    EXPECT_THAT(run.standardError, IsEmpty());
  }
}

TEST(Usage, WrongCommandLinesSayWhyAndExitWith2) {
  for (const wchar_t* arguments : {L"", L"trace", L"run", L"listen --duration 0", L"stop"}) {
    const RunResult run = RunRavtrace(arguments);
    EXPECT_EQ(run.exitCode, 2u) << testsupport::Narrow(arguments);
    EXPECT_THAT(run.standardOutput, IsEmpty());
    EXPECT_THAT(run.standardError, HasSubstr("\r\n\r\n" + tracer::WithCrLf(tracer::UsageText())));
    EXPECT_EQ(run.standardError.rfind("ravtrace: ", 0), 0u) << run.standardError;
  }
}

}  // namespace
}  // namespace tracer_test
