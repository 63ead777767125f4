// The status channel against the stand-in engine, in this process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/win_resources.h"
#include "testsupport/dir_tree.h"
#include "testsupport/text.h"
#include "uninstaller/services/setup_status.h"
#include "uninstaller/services/tests/services_test_support.h"
#include "uninstaller/services/uninstall_log.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ravuninst::EngineStart;
using ravuninst::LineRead;
using ravuninst::SetupStatus;
using ravuninst::StatusPoll;
using services_test::DrainChannel;
using services_test::EngineScript;

struct Outcome {
  std::int32_t result = 0;
  std::u16string errorFile;
  std::int32_t errorLine = 0;
};

Outcome RunToEnd(SetupStatus& status) {
  Outcome outcome;
  status.Result(outcome.result, outcome.errorFile, outcome.errorLine);
  return outcome;
}

TEST(SetupStatus, ProgressLinesReachTheCallerInOrder) {
  EngineScript engine(
      "out Progress,100,40\n"
      "split 3 Progress,100,60\n"          // arrives in pieces
      "out Progress,100,70\\r\n"           // CR LF
      "out Progress,100\n"                 // too few fields
      "out  Progress,1,2\n"                // a leading blank
      "out Progress,abc,7\n"
      "exit 0\n");
  SetupStatus status;
  ASSERT_EQ(status.Run(engine.CommandLine(), u""), EngineStart::kStarted);
  const services_test::Drained drained = DrainChannel(status);
  EXPECT_THAT(drained.progress, ElementsAre(std::pair(100, 40), std::pair(100, 60), std::pair(100, 70),
                                            std::pair(0, 7)));
  EXPECT_EQ(drained.statusEnd, StatusPoll::kChannelEnded);
  EXPECT_EQ(RunToEnd(status).result, 0);
}

TEST(SetupStatus, TheLastResultLineWinsOverTheExitCode) {
  EngineScript engine(
      "out Result,3,x,first.src,1\n"
      "out Result,5,x,stage.src,120\n"
      "out Result,6,x,four.src\n"  // four fields: ignored
      "exit 7\n");
  SetupStatus status;
  ASSERT_EQ(status.Run(engine.CommandLine(), u""), EngineStart::kStarted);
  DrainChannel(status);
  const Outcome outcome = RunToEnd(status);
  EXPECT_EQ(outcome.result, 5);
  EXPECT_EQ(outcome.errorFile, u"stage.src");
  EXPECT_EQ(outcome.errorLine, 120);
}

TEST(SetupStatus, AResultLineWithoutLineFeedIsLost) {
  EngineScript engine("raw Result,100,x,lost.src,9\nexit 9\n");
  SetupStatus status;
  ASSERT_EQ(status.Run(engine.CommandLine(), u""), EngineStart::kStarted);
  DrainChannel(status);
  const Outcome outcome = RunToEnd(status);
  EXPECT_EQ(outcome.result, 9);
  EXPECT_EQ(outcome.errorFile, u"");
  EXPECT_EQ(outcome.errorLine, 0);
}

TEST(SetupStatus, EngineGetsTheCommandLineAsGiven) {
  EngineScript engine("exit 0\n");
  SetupStatus status;
  const std::u16string commandLine = engine.CommandLine() + u"RavDrv";
  ASSERT_EQ(status.Run(commandLine, u""), EngineStart::kStarted);
  DrainChannel(status);
  RunToEnd(status);
  const std::wstring expected(commandLine.begin(), commandLine.end());
  EXPECT_EQ(engine.Recorded(), testsupport::Narrow(expected) + "\n");
}

TEST(SetupStatus, WithoutALogTheEnginesErrorsComeThroughThePipe) {
  EngineScript engine("err first error\nerr second \\xC3\\xA9\nout Progress,1,1\nexit 0\n");
  SetupStatus status;
  ASSERT_EQ(status.Run(engine.CommandLine(), u""), EngineStart::kStarted);
  const services_test::Drained drained = DrainChannel(status);
  EXPECT_THAT(drained.errorLines, ElementsAre(u"first error", u"second \u00e9"));
  EXPECT_EQ(drained.errorEnd, LineRead::kEnded);
  EXPECT_FALSE(std::filesystem::exists(engine.dir() / L"ravwl.log"));
}

TEST(SetupStatus, WithALogBothProcessesWriteTheSameFile) {
  EngineScript engine("err engine says hello\nout Result,1,,,\nexit 0\n");
  const std::filesystem::path log = engine.dir() / L"ravwl.log";
  const std::wstring logW = log.wstring();
  SetupStatus status;
  ASSERT_EQ(status.Run(engine.CommandLine(), std::u16string(logW.begin(), logW.end())), EngineStart::kStarted);
  const services_test::Drained drained = DrainChannel(status);
  EXPECT_TRUE(drained.errorLines.empty());
  EXPECT_EQ(drained.errorEnd, LineRead::kEnded) << "the engine also held the error pipe, so it ended with the engine";
  RunToEnd(status);
  const std::string content = testsupport::ReadFile(log);
  const std::size_t start = content.find(" -- \"");
  const std::size_t run = content.find("SetupStatusRun( \"");
  // The engine writes its own bytes: its LF stays a bare LF.
  const std::size_t engineLine = content.find("engine says hello\n");
  const std::size_t result = content.find("SetupStatusResult( exitCode 0, result 1, errorFile \"\", errorLine 0 )\r\n");
  ASSERT_NE(start, std::string::npos) << content;
  ASSERT_NE(run, std::string::npos) << content;
  ASSERT_NE(engineLine, std::string::npos) << content;
  ASSERT_NE(result, std::string::npos) << content;
  EXPECT_LT(start, run);
  EXPECT_LT(run, engineLine);
  EXPECT_LT(engineLine, result);
  EXPECT_THAT(content, HasSubstr("\", \"" + testsupport::Narrow(logW) + "\" )\r\n"));
}

TEST(SetupStatus, AnEngineThatCannotStartIsReported) {
  SetupStatus status;
  EXPECT_NE(status.Run(u"\"C:\\no\\such\\ravengine32.exe\" uninstall \"\" ", u""), EngineStart::kStarted);
  EXPECT_EQ(status.outputRead(), nullptr);
}

// The one test that waits the full minute: an engine that never ends. (It
// does not close its output first: under Wine a console child started with
// CREATE_NO_WINDOW gets a console host that inherits the pipe ends, so the
// channels end only with the engine there. The result wait does not depend
// on them.)
TEST(SetupStatus, AHangingEngineIsGivenUpAfterAMinute) {
  EngineScript engine("out Progress,10,5\nhang\n");
  const std::filesystem::path log = engine.dir() / L"ravwl.log";
  const std::wstring logW = log.wstring();
  SetupStatus status;
  ASSERT_EQ(status.Run(engine.CommandLine(), std::u16string(logW.begin(), logW.end())), EngineStart::kStarted);
  std::int32_t first = 0;
  std::int32_t second = 0;
  for (int i = 0; i < 100 && status.Poll(1000, first, second) != StatusPoll::kProgress; ++i) Sleep(100);
  EXPECT_EQ(second, 5);
  const ULONGLONG before = GetTickCount64();
  const Outcome outcome = RunToEnd(status);
  const ULONGLONG waited = GetTickCount64() - before;
  EXPECT_EQ(outcome.result, 259) << "still active";
  EXPECT_GE(waited, 59000u);
  const std::string content = testsupport::ReadFile(log);
  EXPECT_THAT(content, HasSubstr("SetupStatusResult(): WaitForSingleObject() Timed out\r\n"));
  EXPECT_THAT(content, HasSubstr("SetupStatusResult( exitCode 259 )\r\n"));
  rav::UniqueHandle engineProcess(OpenProcess(PROCESS_TERMINATE, FALSE, status.processId()));
  TerminateProcess(engineProcess.get(), 1);
}

}  // namespace
