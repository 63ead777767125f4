// ravtrace listen against debug_writer.exe run without a debugger: the
// system-wide channel. Every test here listens system-wide, so the CTest
// test holds the "dbwin" resource lock; other programs of the session may
// still write while a test listens, so each test looks only at its own
// writers' lines (by process ID).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <regex>

#include "common/core/argument_quote.h"
#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"
#include "testsupport/text.h"
#include "tools/tracer/tests/ravtrace_driver.h"

namespace tracer_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using rav::QuoteArgument;
using testsupport::RunResult;

// The listener's standard error: "listening" first, "stopped (...)" last.
void ExpectListenedAndStopped(const RunResult& run, const std::string& reason) {
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0u) << run.standardError;
  EXPECT_EQ(run.standardError, "ravtrace: listening\r\nravtrace: stopped (" + reason + ")\r\n");
}

rav::UniqueHandle OpenStopEvent(const Listener& listener) {
  return rav::UniqueHandle(OpenEventW(EVENT_MODIFY_STATE, FALSE, listener.stopEventName().c_str()));
}

std::string StopReason(const Listener& listener) {
  return "stop event " + testsupport::Narrow(listener.stopEventName());
}

TEST(ListenMode, PrintsWhatAnyProgramWritesWithTimeProcessIdAndImage) {
  Listener listener;
  ASSERT_TRUE(listener.ready());
  const int before = MillisecondOfDayNow();
  // A narrow line with CR LF, one without a line end, a wide one with LF
  // (Wine and Windows both hand the channel narrow text), three lines in one
  // string.
  const RunResult writer = RunWriter(L"pid a:one raw:two w:thr\u00e9e lines:l1|l2|l3 a:last");
  const int after = MillisecondOfDayNow();
  const RunResult run = listener.Stop();
  ExpectListenedAndStopped(run, StopReason(listener));
  ASSERT_TRUE(writer.started);
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  EXPECT_EQ(WriterPid(lines), writer.processId);
  EXPECT_THAT(TextsOf(lines, writer.processId),
              ElementsAre("pid=" + std::to_string(writer.processId), "one", "two", "thr\u00e9e", "l1", "l2", "l3",
                          "last"));
  int previous = before;
  for (const PrintedLine& line : lines) {
    if (line.processId != writer.processId) continue;
    EXPECT_EQ(line.image, "debug_writer.exe");
    if (before <= after) {  // a run over midnight is not checked
      EXPECT_GE(line.millisecondOfDay, previous) << line.text;
      EXPECT_LE(line.millisecondOfDay, after) << line.text;
      previous = line.millisecondOfDay;
    }
  }
}

TEST(ListenMode, StringsLongerThanTheChannelHolds) {
  Listener listener;
  ASSERT_TRUE(listener.ready());
  // 4,089 letters and CR LF fill the channel exactly; 5,000 do not fit.
  const RunResult writer = RunWriter(L"long:4089 long:5000 a:after");
  const RunResult run = listener.Stop();
  ExpectListenedAndStopped(run, StopReason(listener));
  const std::vector<std::string> texts = TextsOf(ParsePrinted(run.standardOutput), writer.processId);
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], std::string(4089, 'x'));
  EXPECT_EQ(texts[1], std::string(4091, 'x')) << "the first 4,091 characters, as one line";
  // Windows passes the other 909 letters and the CR LF on as a piece of their
  // own; Wine 8 drops them. Either way nothing else arrives in between.
  const std::vector<std::string> rest(texts.begin() + 2, texts.end() - 1);
  EXPECT_TRUE(rest.empty() || rest == std::vector<std::string>{std::string(909, 'x')}) << rest.size();
  EXPECT_EQ(texts.back(), "after");
}

TEST(ListenMode, FilterAndOutputFile) {
  testsupport::TempDir scratch;
  const std::filesystem::path file = scratch.path() / L"listen.log";
  testsupport::WriteFile(file, "from before\r\n");
  RunResult run;
  RunResult writer;
  {
    Listener listener(L"--filter keep --output " + QuoteArgument(file.wstring()));
    ASSERT_TRUE(listener.ready());
    writer = RunWriter(rav::JoinArguments({L"a:keep one", L"a:drop two", L"lines:keep three|not keep", L"w:keep caf\u00e9"}));
    run = listener.Stop();
    ExpectListenedAndStopped(run, StopReason(listener));
  }
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  EXPECT_THAT(TextsOf(lines, writer.processId), ElementsAre("keep one", "keep three", "keep caf\u00e9"));
  for (const PrintedLine& line : lines) EXPECT_EQ(line.text.rfind("keep", 0), 0u) << line.text;
  EXPECT_EQ(testsupport::ReadFile(file), "from before\r\n" + run.standardOutput);
}

TEST(ListenMode, ProgramThatExitsWhileWriting) {
  Listener listener;
  ASSERT_TRUE(listener.ready());
  // The flooding thread may be ended while it holds the channel; a writer
  // after it must still get through.
  const RunResult flood = RunWriter(L"flood");
  const RunResult after = RunWriter(rav::JoinArguments({L"a:after the flood"}));
  const RunResult run = listener.Stop();
  ExpectListenedAndStopped(run, StopReason(listener));
  ASSERT_TRUE(flood.started);
  const std::vector<std::string> texts = TextsOf(ParsePrinted(run.standardOutput), flood.processId);
  ASSERT_THAT(texts, Not(IsEmpty()));
  // Whole lines in order. (A writer gives up on a string after waiting 10 s
  // for its turn, so numbers may be missing on a starved machine.)
  long previous = -1;
  for (const std::string& text : texts) {
    std::smatch number;
    ASSERT_TRUE(std::regex_match(text, number, std::regex("flood (\\d+)"))) << text;
    const long value = std::stol(number[1]);
    EXPECT_GT(value, previous);
    previous = value;
  }
  EXPECT_THAT(TextsOf(ParsePrinted(run.standardOutput), after.processId), ElementsAre("after the flood"));
}

// Holds every thread of a process suspended while it lives.
class SuspendedProcess {
 public:
  explicit SuspendedProcess(DWORD processId) {
    rav::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
      if (entry.th32OwnerProcessID != processId) continue;
      rav::UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
      if (thread && SuspendThread(thread.get()) != static_cast<DWORD>(-1)) threads_.push_back(std::move(thread));
    }
  }
  ~SuspendedProcess() {
    for (const rav::UniqueHandle& thread : threads_) ResumeThread(thread.get());
  }
  SuspendedProcess(const SuspendedProcess&) = delete;
  SuspendedProcess& operator=(const SuspendedProcess&) = delete;
  std::size_t threads() const { return threads_.size(); }

 private:
  std::vector<rav::UniqueHandle> threads_;
};

TEST(ListenMode, AStringWrittenAsTheStopComesIsStillPrinted) {
  Listener listener;
  ASSERT_TRUE(listener.ready());
  RunResult writer;
  {
    // While ravtrace stands still, a writer puts its string into the buffer
    // (its turn was given already) and the stop event is set: ravtrace sees
    // both at once and must take the string before it stops.
    SuspendedProcess frozen(listener.processId());
    ASSERT_GT(frozen.threads(), 0u);
    writer = RunWriter(rav::JoinArguments({L"a:just in time"}));
    ASSERT_TRUE(writer.started);
    ASSERT_TRUE(SetEvent(OpenStopEvent(listener).get()));
  }
  const RunResult run = listener.Wait();
  ExpectListenedAndStopped(run, StopReason(listener));
  EXPECT_THAT(TextsOf(ParsePrinted(run.standardOutput), writer.processId), ElementsAre("just in time"));
}

TEST(ListenMode, AWriterThatVanishedWithItsTurnDoesNotBlockTheChannel) {
  Listener listener;
  ASSERT_TRUE(listener.ready());
  // The test takes the turn (DBWIN_BUFFER_READY) as a writer would and never
  // writes, like a writer ended at that moment. The next writer waits for a
  // turn only so long (10 s, Wine and Windows alike) and then drops its
  // string; ravtrace must give the turn again in time.
  rav::UniqueHandle bufferReady(OpenEventW(SYNCHRONIZE, FALSE, L"DBWIN_BUFFER_READY"));
  ASSERT_TRUE(bufferReady);
  ASSERT_EQ(WaitForSingleObject(bufferReady.get(), 60000), WAIT_OBJECT_0);
  const RunResult writer = RunWriter(rav::JoinArguments({L"a:got through"}));
  const RunResult run = listener.Stop();
  ExpectListenedAndStopped(run, StopReason(listener));
  EXPECT_THAT(TextsOf(ParsePrinted(run.standardOutput), writer.processId), ElementsAre("got through"));
}

TEST(ListenMode, ASecondListenerIsTurnedAway) {
  Listener listener;
  ASSERT_TRUE(listener.ready());
  const RunResult second = RunRavtrace(L"listen --duration 60");
  EXPECT_EQ(second.exitCode, 1u);
  EXPECT_THAT(second.standardError, HasSubstr("ravtrace: another listener holds the channel"));
  EXPECT_THAT(second.standardError, Not(HasSubstr("listening")));
  // The first one still has the channel.
  const RunResult writer = RunWriter(rav::JoinArguments({L"a:still heard"}));
  const RunResult run = listener.Stop();
  ExpectListenedAndStopped(run, StopReason(listener));
  EXPECT_THAT(TextsOf(ParsePrinted(run.standardOutput), writer.processId), ElementsAre("still heard"));
}

TEST(ListenMode, StopsAfterItsDuration) {
  Listener listener(L"--duration 1");
  ASSERT_TRUE(listener.ready());
  const RunResult run = listener.Wait();  // nobody sets the stop event
  ExpectListenedAndStopped(run, "after 1 s");
}

TEST(ListenMode, RavtraceStopStopsIt) {
  Listener listener;
  ASSERT_TRUE(listener.ready());
  const RunResult writer = RunWriter(rav::JoinArguments({L"a:last words"}));
  const RunResult stop = RunRavtrace(L"stop " + QuoteArgument(listener.stopEventName()));
  EXPECT_EQ(stop.exitCode, 0u) << stop.standardError;
  EXPECT_THAT(stop.standardError, IsEmpty());
  const RunResult run = listener.Wait();
  ExpectListenedAndStopped(run, StopReason(listener));
  EXPECT_THAT(TextsOf(ParsePrinted(run.standardOutput), writer.processId), ElementsAre("last words"));

  const RunResult none = RunRavtrace(L"stop Local\\RavTraceNoSuchEvent");
  EXPECT_EQ(none.exitCode, 1u);
  EXPECT_THAT(none.standardError, HasSubstr("ravtrace: no event Local\\RavTraceNoSuchEvent"));
}

TEST(ListenMode, Names64BitWriters) {
  const std::wstring writer64 = Writer64Path();
  if (writer64.empty()) GTEST_SKIP() << "the x86_64 tree's debug_writer.exe is not built";
  Listener listener;
  ASSERT_TRUE(listener.ready());
  const RunResult writer = RunWriter(rav::JoinArguments({L"pid", L"a:from 64 bits"}), writer64);
  const RunResult run = listener.Stop();
  ExpectListenedAndStopped(run, StopReason(listener));
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  EXPECT_THAT(TextsOf(lines, writer.processId), ElementsAre("pid=" + std::to_string(writer.processId), "from 64 bits"));
  for (const PrintedLine& line : lines) {
    if (line.processId == writer.processId) {
      EXPECT_EQ(line.image, "debug_writer.exe");
    }
  }
}

// Session 0's programs (services; on Windows Vista and later the device
// installation, and the co-installer in it) write into the machine-wide
// channel. Wine has one session: the writer here puts its string into the
// global objects itself, as OutputDebugStringA does from session 0.
// What a listener started with `options` printed of one line written into
// the machine-wide channel and one written in this session.
struct Heard {
  std::vector<std::string> global;
  std::vector<std::string> session;
};
Heard ListenToBothChannels(const std::wstring& options) {
  Listener listener(options);
  EXPECT_TRUE(listener.ready());
  const RunResult global = RunWriter(rav::JoinArguments({L"global:from session 0"}));
  const RunResult local = RunWriter(rav::JoinArguments({L"a:from this session"}));
  const RunResult run = listener.Stop();
  ExpectListenedAndStopped(run, StopReason(listener));
  const std::vector<PrintedLine> lines = ParsePrinted(run.standardOutput);
  return {TextsOf(lines, global.processId), TextsOf(lines, local.processId)};
}

TEST(ListenMode, GlobalHearsTheMachineWideChannelAndWithSessionBoth) {
  const Heard both = ListenToBothChannels(L"--global --session");
  EXPECT_THAT(both.global, ElementsAre("from session 0"));
  EXPECT_THAT(both.session, ElementsAre("from this session"));
  const Heard global = ListenToBothChannels(L"--global");
  EXPECT_THAT(global.global, ElementsAre("from session 0"));
  EXPECT_THAT(global.session, IsEmpty());
}

// Outside session 0, making the machine-wide channel's section takes
// SeCreateGlobalPrivilege: a token without it is told so, before anything
// is made.
TEST(ListenMode, GlobalWithoutTheRightSaysSo) {
  DWORD session = 0;
  if (ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0) {
    GTEST_SKIP() << "session 0 makes global objects without the privilege";
  }
  rav::UniqueHandle processToken;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, processToken.put()));
  LUID_AND_ATTRIBUTES privilege = {};
  ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeCreateGlobalPrivilege", &privilege.Luid));
  rav::UniqueHandle token;
  ASSERT_TRUE(CreateRestrictedToken(processToken.get(), 0, 0, nullptr, 1, &privilege, 0, nullptr, token.put()));
  testsupport::RunOptions options;
  options.commandLine = QuoteArgument(RavtracePath()) + L" listen --global --duration 2";
  options.captureDebugOutput = false;
  options.captureOutput = true;
  options.token = token.get();
  const RunResult run = testsupport::RunProgram(options);
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_THAT(run.standardError, HasSubstr("ravtrace: the machine-wide channel (--global) needs administrator rights "
                                           "(SeCreateGlobalPrivilege)"));
  EXPECT_THAT(run.standardError, Not(HasSubstr("listening")));
}

// Last in this program: it gives up the test's own console.
TEST(ListenMode, StopsOnCtrlBreak) {
  // ravtrace gets a console of its own, in a process group of its own, so
  // that the break reaches nobody else; the test joins that console to send
  // it.
  Listener listener(L"", CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP);
  ASSERT_TRUE(listener.ready());
  FreeConsole();
  ASSERT_TRUE(AttachConsole(listener.processId())) << GetLastError();
  const BOOL sent = GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, listener.processId());
  const DWORD error = GetLastError();
  FreeConsole();
  AttachConsole(ATTACH_PARENT_PROCESS);
  // Wine 8 refuses to send console control events (error 6, invalid
  // handle); Windows sends them.
  if (!sent) GTEST_SKIP() << "the platform cannot send Ctrl+Break (error " << error << ")";
  const RunResult run = listener.Wait();
  ExpectListenedAndStopped(run, "Ctrl+Break");
}

}  // namespace
}  // namespace tracer_test
