// Hostile and broken input for the real ravuninst.exe: overlong and broken
// command lines, odd registry records and override texts, and setup engines
// that misbehave. Each row: the input and what must come of it (exit code,
// trace lines, boxes shown); nothing may crash, overrun or spin.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <iostream>
#include <iterator>
#include <thread>

#include "common/core/argument_quote.h"
#include "common/win_resources.h"
#include "testsupport/host_side.h"
#include "testsupport/registry_values.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"
#include "uninstaller/tests/uninstaller_driver.h"

namespace uninstaller_test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using testsupport::Narrow;
using testsupport::RunResult;

std::vector<std::string> Trace(const RunResult& run) { return run.DebugLines(); }

// ---- The command line ---------------------------------------------------------

struct OptionRow {
  const char* name;
  std::wstring arguments;
  std::vector<std::string> traceAfterCommandLine;  // the trace, line by line
};

std::vector<OptionRow> OptionRows() {
  const std::string defaultKey = "SOFTWARE\\Corvane\\802.11\\UninstallInfo";
  const std::string defaultStrings = "SOFTWARE\\Corvane\\802.11\\LocalizedStrings";
  const auto keyOf = [](std::size_t length) { return L"SOFTWARE\\" + std::wstring(length - 9, L'k'); };
  const auto dirOf = [](std::size_t length) { return L"C:\\" + std::wstring(length - 3, L'd'); };
  std::vector<OptionRow> rows;
  rows.push_back({"a 32,000-character command line", L"quiet " + std::wstring(32000, L'x'),
                  {defaultKey, "", defaultStrings, "WinMain: Quiet", "WinMain: End"}});
  for (std::size_t length : {254u, 255u, 256u, 10000u}) {
    const std::wstring key = keyOf(length);
    rows.push_back({"a /rootkey= value", L"/rootkey=" + key + L" quiet",
                    {Narrow(key.substr(0, 255)), "", "SOFTWARE\\LocalizedStrings", "WinMain: Quiet", "WinMain: End"}});
    const std::wstring dir = dirOf(length);
    rows.push_back({"a /rootdir= value", L"quiet /rootdir=\"" + dir + L"\"",
                    {defaultKey, Narrow(dir.substr(0, 255)), defaultStrings, "WinMain: Quiet", "WinMain: End"}});
  }
  rows.push_back({"an unmatched quote in /rootkey=", L"quiet /rootkey=\"SOFTWARE\\Open quote",
                  {"SOFTWARE\\Open quote", "", "SOFTWARE\\LocalizedStrings", "WinMain: Quiet", "WinMain: End"}});
  rows.push_back({"an unmatched quote in /rootdir=", L"quiet /rootdir=\"C:\\Open quote",
                  {defaultKey, "C:\\Open quote", defaultStrings, "WinMain: Quiet", "WinMain: End"}});
  rows.push_back({"a /rootdir= at the very end", L"quiet /rootdir=", {"WinMain: Quiet", "WinMain: End"}});
  return rows;
}

using BadOptions = UninstallerTest;

TEST_F(BadOptions, AreCutOrStopParsingAndNeverOverrun) {
  for (const OptionRow& row : OptionRows()) {
    SCOPED_TRACE(std::string(row.name) + " of " + std::to_string(row.arguments.size()) + " characters");
    UninstallerRun run(L"ravuninst.exe", row.arguments, Environment());
    const RunResult result = run.Finish();
    EXPECT_EQ(result.exitCode, 0u);
    std::vector<std::string> trace = Trace(result);
    ASSERT_FALSE(trace.empty());
    // The command line itself is traced whole, as text.
    EXPECT_EQ(trace.front().size(),
              rav::QuoteArgument(testsupport::BinPath(L"ravuninst.exe").wstring()).size() + 1 +
                  row.arguments.size());
    trace.erase(trace.begin());
    EXPECT_EQ(trace, row.traceAfterCommandLine);
  }
}

// ---- Uninstall records ------------------------------------------------------------

struct RecordRow {
  const char* name;
  std::function<std::vector<BYTE>(const std::wstring& removal)> value;  // the data stored
  DWORD type;
  DWORD exitCode;
  const char* trace;  // a line that must appear; null: no GSMURunRemoveProgram line at all
  bool removalRan;
};

std::vector<BYTE> Bytes(const std::wstring& text, bool terminator) {
  const BYTE* data = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(data, data + (text.size() + (terminator ? 1 : 0)) * sizeof(wchar_t));
}

// The removal command padded with blanks to exactly `units` UTF-16 units.
std::wstring PaddedTo(const std::wstring& command, std::size_t units) {
  return command + std::wstring(units - command.size(), L' ');
}

using BadRecords = UninstallerTest;

TEST_F(BadRecords, EndInTheirResultWithoutOverrun) {
  const RecordRow rows[] = {
      {"UpgradeString of type REG_DWORD",
       [](const std::wstring&) { return std::vector<BYTE>{5, 0, 0, 0}; }, REG_DWORD, 100,
       "GSMURunRemoveProgram: Unable to run uninstall process", false},
      {"UpgradeString without a terminator",
       [](const std::wstring& removal) { return Bytes(removal, false); }, REG_SZ, 0, nullptr, true},
      {"UpgradeString of exactly 1026 bytes, no terminator",
       [](const std::wstring& removal) { return Bytes(PaddedTo(removal, 513), false); }, REG_SZ, 0, nullptr, true},
      {"UpgradeString of 1028 bytes",
       [](const std::wstring& removal) { return Bytes(PaddedTo(removal, 513), true); }, REG_SZ, 100, nullptr, false},
      {"UpgradeString of 64 KB",
       [](const std::wstring& removal) { return Bytes(PaddedTo(removal, 32000), true); }, REG_SZ, 100, nullptr, false},
      {"an empty UpgradeString", [](const std::wstring&) { return std::vector<BYTE>{}; }, REG_SZ, 100,
       "GSMURunRemoveProgram: Unable to run uninstall process", false},
  };
  const std::wstring removal = L"\"" + testsupport::BinPath(L"recorder.exe").wstring() + L"\" marker";
  const std::wstring entry = std::wstring(kUninstallList) + L"\\Corvane 802.11b Network Adapter";
  for (const RecordRow& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove(RemovalRecord());
    const std::vector<BYTE> data = row.value(removal);
    // RegSetValueExW adds the terminator of a string value that the caller
    // did not count when the character right after the data is NUL (Windows
    // does so too, and reads that character): a guard character there keeps
    // the stored value exactly as given.
    std::vector<BYTE> guarded = data;
    guarded.insert(guarded.end(), {'#', 0, 0, 0});
    ASSERT_TRUE(testsupport::SetRegistryValue(HKEY_LOCAL_MACHINE, entry, L"UpgradeString", row.type, guarded.data(),
                                              static_cast<DWORD>(data.size())));
    const std::optional<testsupport::RegistryValue> stored =
        testsupport::ReadRegistryValue(HKEY_LOCAL_MACHINE, entry, L"UpgradeString");
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->data.size(), data.size()) << "the value was stored as given";
    UninstallerRun run(L"ravuninst.exe", L"services", Environment());
    const RunResult result = run.Finish();
    EXPECT_EQ(result.exitCode, row.exitCode) << testing::PrintToString(Trace(result));
    if (row.trace != nullptr) {
      EXPECT_THAT(Trace(result), Contains(row.trace));
    } else {
      for (const std::string& line : Trace(result)) EXPECT_EQ(line.find("GSMURunRemoveProgram"), std::string::npos);
    }
    EXPECT_EQ(fs::exists(RemovalRecord()), row.removalRan);
    if (row.removalRan) {
      // The whole command reached the removal program, padding and all.
      const std::string recorded = testsupport::ReadFile(RemovalRecord());
      EXPECT_THAT(recorded, HasSubstr("marker"));
    }
  }
}

// ---- Override texts --------------------------------------------------------------

using BadOverrides = UninstallerTest;

TEST_F(BadOverrides, EmptyAndHugeTextsAreShownAsTheyAre) {
  const std::wstring key = std::wstring(kDefaultStringsKey) + L"\\ravuninst\\9\\1";
  ASSERT_TRUE(testsupport::SetRegistryValue(HKEY_LOCAL_MACHINE, key, L"4000", REG_SZ, L"", 0));
  const std::wstring huge(512 * 1024, L'h');  // 1 MB of UTF-16
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key, L"4001", huge));
  UninstallerRun run(L"ravuninst.exe", L"verbose", Environment());
  const MessageBoxSeen confirm = run.WaitForMessageBox(60s);
  ASSERT_NE(confirm.window, nullptr);
  EXPECT_EQ(confirm.caption, L"");
  EXPECT_EQ(confirm.text.size(), huge.size());
  UninstallerRun::Press(confirm.window, IDCANCEL);
  EXPECT_EQ(run.Finish().exitCode, 0u);
}

// An expansion of the product name past the documented limit is refused: the
// text is shown as loaded, token and all (a 500,000-character name put into
// a text of 1,000 tokens would take a gigabyte).
TEST_F(BadOverrides, AHugeProductNameLeavesTheTokenInsteadOfExhaustingMemory) {
  const std::wstring key = std::wstring(kDefaultStringsKey) + L"\\ravuninst\\9\\1";
  std::wstring thousandTokens;
  for (int i = 0; i < 1000; ++i) thousandTokens += L"%OEM_UTIL_NAME%";
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key, L"7301", std::wstring(500000, L'n')));
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key, L"4001", thousandTokens));
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key, L"4000", L"Caption %OEM_UTIL_NAME%"));
  UninstallerRun run(L"ravuninst.exe", L"verbose", Environment());
  const MessageBoxSeen confirm = run.WaitForMessageBox(60s);
  ASSERT_NE(confirm.window, nullptr);
  EXPECT_EQ(confirm.caption, L"Caption %OEM_UTIL_NAME%");
  EXPECT_EQ(confirm.text, thousandTokens);
  UninstallerRun::Press(confirm.window, IDCANCEL);
  const RunResult result = run.Finish();
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_THAT(Trace(result), Contains("LoadMessageText: text 4001 would be longer than 65536 characters with the "
                                      "product name put in; shown as loaded"));
}

// A /rootkey= whose LocalizedStrings sibling would not fit its 255
// characters: the fixed default key still serves the overrides.
TEST_F(BadOverrides, ARefusedLocalizedStringsKeyFallsBackToTheDefaultKey) {
  SetOverride(kDefaultStringsKey, L"4000", L"Default key caption");
  const std::wstring rootKey = L"SOFTWARE\\" + std::wstring(240, L'k') + L"\\U";
  UninstallerRun run(L"ravuninst.exe", L"verbose /rootkey=" + rootKey, Environment());
  const MessageBoxSeen confirm = run.WaitForMessageBox(60s);
  ASSERT_NE(confirm.window, nullptr);
  EXPECT_EQ(confirm.caption, L"Default key caption");
  UninstallerRun::Press(confirm.window, IDCANCEL);
  EXPECT_EQ(run.Finish().exitCode, 0u);
}

// ---- The log ---------------------------------------------------------------------

using BadLog = UninstallerTest;

// Running as administrator, ravuninst would append its lines and the
// engine's errors to whatever ravwl.log leads to. Each row makes it lead
// elsewhere; the log is opened once, without following a link, and judged
// by the handle: nothing reaches the other file, the trace says why, and
// the uninstall runs on without a log.
TEST_F(BadLog, ALogThatLeadsElsewhereIsNotWritten) {
  struct Row {
    const char* name;
    // Makes LogFile() lead to `other` (a file with content) or its directory;
    // false when this platform cannot.
    std::function<bool(const fs::path& log, const fs::path& other)> make;
    const char* why;  // the trace's reason; null: any reason
  };
  const Row rows[] = {
      // Any process of the user can give a file a second name, with no
      // privilege. Wine reports it in nNumberOfLinks, as Windows does.
      {"a second name of another file",
       [](const fs::path& log, const fs::path& other) {
         return CreateHardLinkW(log.c_str(), other.c_str(), nullptr) != FALSE;
       },
       "is a file with more than one name (a hard link), not written through"},
      // Under Wine only a directory link shows as a reparse point (a file
      // link made from the Linux side shows its target, and Wine's
      // CreateSymbolicLink makes none), so this covers a link to a
      // directory; on Windows a file link is a reparse point too, opened as
      // itself and refused the same way. Neither platform opens a directory
      // link as a file, so the reason is the failed open.
      {"a link to a directory",
       [](const fs::path& log, const fs::path& other) {
         return testsupport::MakeDirectoryLink(log, other.parent_path());
       },
       nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const testsupport::TempDir elsewhere;
    const fs::path other = elsewhere.path() / L"other.txt";
    testsupport::WriteFile(other, "precious\n");
    if (!row.make(LogFile(), other)) {
      std::cout << row.name << ": this platform made none, not tested\n";
      continue;
    }
    EngineDir engine("err an engine error line\nout Result,0,,,\nexit 0\n");
    UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
    ASSERT_TRUE(run.Confirm());
    const RunResult result = run.Finish(60s);
    EXPECT_EQ(result.exitCode, 0u);
    const std::string traced = "LogOpen: " + Narrow(LogFile().wstring()) + " ";
    EXPECT_THAT(Trace(result), Contains(row.why == nullptr ? ::testing::StartsWith(traced)
                                                           : ::testing::StartsWith(traced + row.why)));
    EXPECT_THAT(Trace(result), Contains(::testing::EndsWith("; no log is written")));
    EXPECT_EQ(testsupport::ReadFile(other), "precious\n") << "nothing was written through the name";
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere.path()), fs::directory_iterator()), 1)
        << "nothing was made there";
    if (testsupport::IsReparsePoint(LogFile())) {
      testsupport::RemoveLink(LogFile());
    } else {
      fs::remove(LogFile());
    }
    EXPECT_TRUE(fs::exists(other));
  }
}

// ---- Setup engines that misbehave ------------------------------------------------

struct EngineRow {
  const char* name;
  std::string script;
  DWORD exitCode;
  std::optional<std::wstring> errorText;  // the error box's text after the 4013 text
  std::optional<int> barPosition;          // what the bar shows while the engine sleeps
  const char* logLine;                     // a text the log must hold, or null
};

using MisbehavingEngine = UninstallerTest;

TEST_F(MisbehavingEngine, EndsInTheRightResult) {
  const EngineRow rows[] = {
      {"invalid UTF-8 cuts a line at the bad byte", "out Progress,100,4\\xFF0\nsleep 2500\nout Result,0,,,\nexit 0\n", 0,
       std::nullopt, 4, nullptr},
      {"a NUL byte inside a number ends it", "out Progress,100,6\\x00" "0\nsleep 2500\nout Result,0,,,\nexit 0\n", 0,
       std::nullopt, 6, nullptr},
      {"10 MB without a line feed, then an exit code", "bytes 10485760\nexit 120\n", 120, L": 120.", std::nullopt,
       "PipeReader: standard output: 10420224 bytes of a line longer than 65536 bytes dropped (the pipe ended "
       "before its line feed)"},
      {"a 100 KB line is cut, and the lines after it are read", "bytes 102400\nout \nout Result,150,,f.src,3\nexit 0\n",
       150, L": f.src 3.", std::nullopt,
       "PipeReader: standard output: 36864 bytes of a line longer than 65536 bytes dropped\r\n"},
      {"no output at all, exit 0", "exit 0\n", 0, std::nullopt, std::nullopt, nullptr},
      {"no output at all, exit 150", "exit 150\n", 150, L": 150.", std::nullopt, nullptr},
      {"a crash", "crash\n", 0xC0000005u, L": 0xC0000005.", std::nullopt, nullptr},
      // Without a Result line, an exception status is a crash; any other code
      // is the result, -1 (a success, as every result below 100) included.
      {"an unhandled breakpoint's status", "exit 0x80000003\n", 0x80000003u, L": 0x80000003.", std::nullopt, nullptr},
      {"an unhandled C++ exception's status", "exit 0xE06D7363\n", 0xE06D7363u, L": 0xE06D7363.", std::nullopt,
       nullptr},
      {"a status a program raises itself", "exit 0xE0000001\n", 0xE0000001u, L": 0xE0000001.", std::nullopt,
       nullptr},
      {"exit code -1", "exit -1\n", 0, std::nullopt, std::nullopt, nullptr},
      {"a crash status after a Result line", "out Result,0,,,\nexit 0xC0000005\n", 0, std::nullopt, std::nullopt,
       nullptr},
  };
  for (const EngineRow& row : rows) {
    SCOPED_TRACE(row.name);
    EngineDir engine(row.script);
    UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
    ASSERT_TRUE(run.Confirm());
    if (row.barPosition) {
      HWND window = run.WaitForProgressWindow();
      ASSERT_NE(window, nullptr);
      for (int i = 0; i < 200 && ProgressPosition(window) != *row.barPosition; ++i) std::this_thread::sleep_for(10ms);
      EXPECT_EQ(ProgressPosition(window), *row.barPosition);
    }
    if (row.errorText) {
      const MessageBoxSeen error = run.WaitForMessageBox(120s);
      ASSERT_NE(error.window, nullptr);
      EXPECT_EQ(error.caption, L"Uninstall Error");
      EXPECT_THAT(Narrow(error.text), HasSubstr(Narrow(*row.errorText)));
      UninstallerRun::Press(error.window, IDOK);
    }
    const RunResult result = run.Finish(180s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, row.exitCode);
    if (row.logLine != nullptr) {
      EXPECT_THAT(testsupport::ReadFile(LogFile()), HasSubstr(row.logLine));
    }
  }
}

// An engine that leaves a process behind with its handles (so its pipes)
// does not keep the window: a few seconds after the engine itself has
// ended, its channels count as ended, and the log says so. The process
// lives until the test ends it; ravuninst must be gone well before (3 s of
// grace and the window's one second, with room for a slow machine).
TEST_F(MisbehavingEngine, AProcessHoldingTheEnginesPipesDoesNotHoldTheWindow) {
  EngineDir engine("out Progress,100,100\nspawn 600000\nout Result,0,,,\nstamp\nexit 0\n");
  UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
  ASSERT_TRUE(run.Confirm());
  const RunResult result = run.Finish(60s);
  const ULONGLONG ended = GetTickCount64();
  bool stamped = false;
  for (const std::string& line : engine.RecordedLines()) {
    if (line.rfind("tick=", 0) == 0) {
      stamped = true;
      EXPECT_LT(ended - std::stoull(line.substr(5)), 10000u) << "from the engine's end to ravuninst's";
    }
    if (line.rfind("spawned=", 0) != 0) continue;
    rav::UniqueHandle lingering(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(line.substr(8))));
    ASSERT_TRUE(lingering) << "the engine's child ended early: the test proves nothing";
    TerminateProcess(lingering.get(), 0);
    WaitForSingleObject(lingering.get(), 10000);
  }
  EXPECT_TRUE(stamped);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_THAT(testsupport::ReadFile(LogFile()), HasSubstr("its pipes are still open (held by a process it started); "
                                                          "taken as ended"));
}

// Many lines: every one passes through the bar, in order. (Each pass of the
// window loop takes one status line and waits on the window system; under
// Wine a pass costs about a millisecond there, so a million lines would take
// half an hour: the core test of the line buffer feeds a million lines and
// shows nothing piles up, the engine simply waits on the full pipe.) The
// engine lingers after its last line: once the channels end, the window
// thread sleeps its one second before closing and answers no reader, so
// only the wait before that shows the last position for certain.
TEST_F(MisbehavingEngine, ManyProgressLinesAllPassThroughTheBar) {
  EngineDir engine("repeat 20000 Progress,20000,%d\nout Result,0,,,\nsleep 500\nexit 0\n");
  UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
  ASSERT_TRUE(run.Confirm());
  HWND window = run.WaitForProgressWindow();
  ASSERT_NE(window, nullptr);
  int last = -1;
  bool forward = true;
  while (IsWindow(window) && IsWindowVisible(window)) {
    const int position = ProgressPosition(window);
    if (!IsWindowVisible(window)) break;
    if (position < last) forward = false;
    last = std::max(last, position);
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(forward) << "the bar only ever moves forward";
  EXPECT_EQ(last, 19999) << "the last line reached the bar";
  const RunResult result = run.Finish(300s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0u);
}

// The engine that the run started, to watch or end; none when it has not
// appeared within 5 s.
rav::UniqueHandle EngineOf(UninstallerRun& run) {
  DWORD engineId = 0;
  for (int i = 0; i < 500 && engineId == 0; ++i) {
    engineId = testsupport::ChildProcessId(run.processId(), L"ravengine64.exe") +
               testsupport::ChildProcessId(run.processId(), L"ravengine32.exe");
    if (engineId == 0) std::this_thread::sleep_for(10ms);
  }
  return rav::UniqueHandle(engineId == 0 ? nullptr : OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, engineId));
}

// An engine that writes progress lines without pause never keeps the
// window from answering: each pass of the loop takes lines for a bounded
// time, then serves the window. (Each line costs the window thread more
// than the engine, so the pipe is never empty while the flood lasts.)
TEST_F(MisbehavingEngine, AFloodOfLinesNeverKeepsTheWindowFromAnswering) {
  EngineDir engine("repeat 1000000 Progress,1000000,%d\nout Result,0,,,\nexit 0\n");
  UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
  ASSERT_TRUE(run.Confirm());
  const rav::UniqueHandle engineProcess = EngineOf(run);
  ASSERT_TRUE(engineProcess);
  const HWND window = run.WaitForProgressWindow();
  ASSERT_NE(window, nullptr);
  std::this_thread::sleep_for(200ms);  // the flood is under way
  int answered = 0;
  for (int i = 0; i < 20; ++i) {
    DWORD_PTR reply = 0;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 250, &reply) != 0) ++answered;
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(WaitForSingleObject(engineProcess.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the flood ended before the last message: the test proves nothing";
  EXPECT_EQ(answered, 20);
  ASSERT_TRUE(TerminateProcess(engineProcess.get(), 0));
  const RunResult result = run.Finish(120s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0u);
}

TEST_F(MisbehavingEngine, AnEngineThatNeverEndsIsWaitedForWithTheWindowServed) {
  EngineDir engine("out Progress,100,50\nhang\n");
  UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
  ASSERT_TRUE(run.Confirm());
  HWND window = run.WaitForProgressWindow();
  ASSERT_NE(window, nullptr);
  for (int i = 0; i < 200 && ProgressPosition(window) != 50; ++i) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(3s);
  // Still waiting for the engine, and still answering its window.
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(ProgressPosition(window), 50);
  DWORD_PTR reply = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &reply), 0);
  // Once the engine ends, its exit code is the result.
  const rav::UniqueHandle engineProcess = EngineOf(run);
  ASSERT_TRUE(engineProcess);
  ASSERT_TRUE(TerminateProcess(engineProcess.get(), 150));
  const MessageBoxSeen error = run.WaitForMessageBox(60s);
  ASSERT_NE(error.window, nullptr);
  EXPECT_THAT(Narrow(error.text), HasSubstr(": 150."));
  UninstallerRun::Press(error.window, IDOK);
  const RunResult result = run.Finish(120s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 150u);
}

}  // namespace
}  // namespace uninstaller_test
