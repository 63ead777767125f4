// The real ravuninst.exe under the platform: its modes, options, product
// removal, progress window, message boxes and restart, driven from outside.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <thread>

#include "common/win_resources.h"
#include "testsupport/dir_tree.h"
#include "testsupport/registry_values.h"
#include "testsupport/screenshot.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"
#include "testsupport/tokens.h"
#include "uninstaller/tests/uninstaller_driver.h"

namespace uninstaller_test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testsupport::Narrow;
using testsupport::RunResult;

constexpr wchar_t kAdapter[] = L"Corvane 802.11ac Dual-Band Wireless USB Adapter";

bool RunsOn64BitWindows() {
  BOOL wow64 = FALSE;
  return ::IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::wstring EngineName() { return RunsOn64BitWindows() ? L"ravengine64.exe" : L"ravengine32.exe"; }

// The program's trace without the first line (its command line).
std::vector<std::string> TraceAfterCommandLine(const RunResult& run) {
  std::vector<std::string> lines = run.DebugLines();
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

using Uninstaller = UninstallerTest;

// ---- Modes -----------------------------------------------------------------

TEST_F(Uninstaller, EachModeLeavesItsTraceAndExitCode) {
  struct Case {
    const wchar_t* arguments;
    DWORD exitCode;
    std::vector<std::string> trace;  // after the command line
  };
  const std::string defaultKeys[] = {"SOFTWARE\\Corvane\\802.11\\UninstallInfo", "",
                                     "SOFTWARE\\Corvane\\802.11\\LocalizedStrings"};
  auto with = [&defaultKeys](std::vector<std::string> tail) {
    std::vector<std::string> lines(std::begin(defaultKeys), std::end(defaultKeys));
    lines.insert(lines.end(), tail.begin(), tail.end());
    return lines;
  };
  const Case cases[] = {
      {L"", 4, with({"WinMain: Uninstallation Failed", "WinMain: End"})},
      {L"quiet", 0, with({"WinMain: Quiet", "WinMain: End"})},
      {L"Verbose", 4, with({"WinMain: Uninstallation Failed", "WinMain: End"})},
      {L"silent quiet", 0, with({"WinMain: Quiet", "WinMain: End"})},
      {L"uninstall", 0, with({"WinMain: Install", "WinMain: End"})},
      {L"driver", 4, with({"WinMain: Driver", "WinMain: Uninstallation Failed", "WinMain: End"})},
      {L"preupdate", 0, with({"WinMain: Pre-Update", "WinMain: End"})},
      {L"RemoveOld", 0, with({"WinMain: RemoveOld", "WinMain: End"})},
      {L"/rootdir=\"C:\\rundll\"", 0,
       {defaultKeys[0], "C:\\rundll", defaultKeys[2], "WinMain: rundll", "WinMain: End"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.arguments));
    UninstallerRun run(L"ravuninst.exe", c.arguments, Environment());
    const RunResult result = run.Finish();
    EXPECT_EQ(result.exitCode, c.exitCode);
    ASSERT_FALSE(result.DebugLines().empty());
    EXPECT_THAT(result.DebugLines()[0], HasSubstr("ravuninst.exe"));
    EXPECT_EQ(TraceAfterCommandLine(result), c.trace);
  }
}

TEST_F(Uninstaller, VerboseWinsOverQuietInEitherOrder) {
  for (const wchar_t* arguments : {L"verbose quiet", L"quiet verbose"}) {
    UninstallerRun run(L"ravuninst.exe", arguments, Environment());
    const MessageBoxSeen confirm = run.WaitForMessageBox();
    ASSERT_NE(confirm.window, nullptr);
    UninstallerRun::Press(confirm.window, IDCANCEL);
    const RunResult result = run.Finish();
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_THAT(result.DebugLines(), Contains("WinMain: Verbose"));
    EXPECT_THAT(result.DebugLines(), Not(Contains("WinMain: Quiet")));
  }
}

// ---- Options and the localized-strings key ------------------------------------

TEST_F(Uninstaller, RootKeyNamesTheOverridesThatAppear) {
  SetOverride(kDefaultStringsKey, L"4000", L"Default key caption");
  SetOverride(L"SOFTWARE\\RavTest\\Plain\\LocalizedStrings", L"4000", L"Plain key caption");
  SetOverride(L"SOFTWARE\\RavTest\\With Blanks\\LocalizedStrings", L"4000", L"Quoted key caption");
  struct Case {
    const wchar_t* arguments;
    const wchar_t* caption;
    std::vector<std::string> keys;  // rootKey, rootDir, LocalizedStrings key; empty: none traced
  };
  const Case cases[] = {
      {L"verbose", L"Default key caption",
       {"SOFTWARE\\Corvane\\802.11\\UninstallInfo", "", "SOFTWARE\\Corvane\\802.11\\LocalizedStrings"}},
      {L"/rootkey=SOFTWARE\\RavTest\\Plain\\UninstallInfo verbose", L"Plain key caption",
       {"SOFTWARE\\RavTest\\Plain\\UninstallInfo", "", "SOFTWARE\\RavTest\\Plain\\LocalizedStrings"}},
      {L"verbose /rootkey=\"SOFTWARE\\RavTest\\With Blanks\\UninstallInfo\"", L"Quoted key caption",
       {"SOFTWARE\\RavTest\\With Blanks\\UninstallInfo", "", "SOFTWARE\\RavTest\\With Blanks\\LocalizedStrings"}},
      // No opening quote: parsing stops, no key is set, texts come from the tables.
      {L"verbose /rootdir=C:\\Setup", L"Confirm Removal", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.arguments));
    UninstallerRun run(L"ravuninst.exe", c.arguments, Environment());
    const MessageBoxSeen confirm = run.WaitForMessageBox();
    ASSERT_NE(confirm.window, nullptr);
    EXPECT_EQ(confirm.caption, c.caption);
    UninstallerRun::Press(confirm.window, IDCANCEL);
    const RunResult result = run.Finish();
    std::vector<std::string> expected = c.keys;
    expected.insert(expected.end(), {"WinMain: Verbose", "WinMain: End"});
    EXPECT_EQ(TraceAfterCommandLine(result), expected);
  }
}

TEST_F(Uninstaller, OverlongValuesAreCutOrRefusedNeverOverrun) {
  const std::wstring longDir = L"C:\\" + std::wstring(300, L'd');
  UninstallerRun cut(L"ravuninst.exe", L"quiet /rootdir=\"" + longDir + L"\"", Environment());
  const RunResult cutResult = cut.Finish();
  EXPECT_EQ(cutResult.exitCode, 0u);
  ASSERT_GE(cutResult.DebugLines().size(), 3u);
  EXPECT_EQ(cutResult.DebugLines()[2], Narrow(longDir.substr(0, 255)));

  // A root key near 255 characters whose last part is short: its sibling key
  // would not fit (a cut one could name another key), so the default serves.
  const std::wstring longKey = L"SOFTWARE\\" + std::wstring(240, L'k') + L"\\Y";
  UninstallerRun refused(L"ravuninst.exe", L"quiet /rootkey=" + longKey, Environment());
  const RunResult refusedResult = refused.Finish();
  EXPECT_EQ(refusedResult.exitCode, 0u);
  EXPECT_EQ(TraceAfterCommandLine(refusedResult),
            (std::vector<std::string>{Narrow(longKey.substr(0, 255)), "",
                                      "ParseRootOptions: LocalizedStrings key longer than 255 characters, not used; "
                                      "using SOFTWARE\\Corvane\\802.11\\LocalizedStrings",
                                      "WinMain: Quiet", "WinMain: End"}));
}

// ---- Services mode ---------------------------------------------------------

class ServicesMode : public Uninstaller {
 protected:
  void Register(const wchar_t* entry, const std::optional<std::wstring>& command) {
    const std::wstring key = std::wstring(kUninstallList) + L"\\" + entry;
    if (command) {
      ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key, L"UpgradeString", *command));
    } else {
      ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key, L"DisplayName", entry));
    }
  }
  std::wstring Removal(const std::wstring& marker) const {
    return L"\"" + testsupport::BinPath(L"recorder.exe").wstring() + L"\" " + marker;
  }
  std::vector<std::string> Removed() const {
    std::vector<std::string> commands;
    for (const std::string& line : testsupport::SplitLines(testsupport::ReadFile(RemovalRecord()))) {
      if (line.rfind("cmdline=", 0) == 0) commands.push_back(line.substr(line.rfind(' ') + 1));
    }
    return commands;
  }
  RunResult RunServices(const std::wstring& arguments = L"services") {
    UninstallerRun run(L"ravuninst.exe", arguments, Environment());
    return run.Finish();
  }
};

TEST_F(ServicesMode, RunsTheAdapterRemovalAndWaitsForIt) {
  Register(L"Corvane 802.11 Application", Removal(L"application"));
  Register(L"Corvane 802.11b Network Adapter", Removal(L"adapter"));
  const RunResult result = RunServices();
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_THAT(Removed(), ElementsAre("adapter"));
  EXPECT_THAT(result.DebugLines(), Contains(Narrow(Removal(L"adapter"))));
}

TEST_F(ServicesMode, TheApplicationKeyInAnyCaseRunsTheApplicationFirst) {
  Register(L"Corvane 802.11 Application", Removal(L"application"));
  Register(L"Corvane 802.11b Network Adapter", Removal(L"adapter"));
  // Upper case: "UninstallInfo" in lower or mixed case holds "install",
  // which selects the install mode before the services mode.
  const RunResult result = RunServices(L"services /rootkey=SOFTWARE\\CORVANE\\802.11_APP\\UNINSTALLINFO");
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_THAT(Removed(), ElementsAre("application", "adapter"));

  const RunResult install = RunServices(L"services /rootkey=SOFTWARE\\Corvane\\802.11_App\\UninstallInfo");
  EXPECT_EQ(install.exitCode, 0u);
  EXPECT_THAT(install.DebugLines(), Contains("WinMain: Install"));
  EXPECT_THAT(Removed(), ElementsAre("application", "adapter")) << "nothing more ran";
}

TEST_F(ServicesMode, FailuresGive100AndOnlySomeLeaveATrace) {
  // No adapter entry at all.
  RunResult result = RunServices();
  EXPECT_EQ(result.exitCode, 100u);
  EXPECT_THAT(result.DebugLines(), Contains("GSMURunRemoveProgram: Unable to open uninstall key"));

  // An entry without "UpgradeString": 100 and no trace of its own.
  Register(L"Corvane 802.11b Network Adapter", std::nullopt);
  result = RunServices();
  EXPECT_EQ(result.exitCode, 100u);
  for (const std::string& line : result.DebugLines()) EXPECT_EQ(line.find("GSMURunRemoveProgram"), std::string::npos);

  // A command whose program does not exist.
  Register(L"Corvane 802.11b Network Adapter", L"\"C:\\no\\such\\remover.exe\" /x");
  result = RunServices();
  EXPECT_EQ(result.exitCode, 100u);
  EXPECT_THAT(result.DebugLines(), Contains("GSMURunRemoveProgram: Unable to run uninstall process"));
}

TEST_F(ServicesMode, ACommandThatFailsStillCountsAsRun) {
  Register(L"Corvane 802.11b Network Adapter", Removal(L"--exit=3"));
  const RunResult result = RunServices();
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_THAT(Removed(), ElementsAre("--exit=3"));
}

// ---- Verbose mode ------------------------------------------------------------

struct Texts {
  std::wstring confirmCaption = L"Confirm Removal";
  std::wstring confirmText = std::wstring(L"This will remove the ") + kAdapter + L" from your computer. Continue?";
  std::wstring progressCaption = std::wstring(L"Removing the ") + kAdapter;
  std::wstring errorCaption = L"Uninstall Error";
  std::wstring errorPrefix = std::wstring(L"The removal of ") + kAdapter + L" cannot continue due to error code";
  std::wstring restartCaption = L"Restart Windows";
  std::wstring restartText = L"Uninstall needs to restart your system to complete";
  std::wstring adminText = std::wstring(L"You must have administrator privileges to remove the ") + kAdapter + L".";
};

class VerboseMode : public Uninstaller {
 protected:
  // Starts a verbose run against an engine script and confirms it.
  std::unique_ptr<UninstallerRun> StartConfirmed(const EngineDir& engine, const std::wstring& extra = L"",
                                                 const std::wstring& program = L"ravuninst.exe") {
    auto run = std::make_unique<UninstallerRun>(program, L"verbose " + engine.RootDirArgument() + extra,
                                                Environment(&engine));
    const MessageBoxSeen confirm = run->WaitForMessageBox();
    EXPECT_NE(confirm.window, nullptr);
    EXPECT_EQ(confirm.caption, texts_.confirmCaption);
    EXPECT_EQ(confirm.text, texts_.confirmText);
    if (confirm.window != nullptr) UninstallerRun::Press(confirm.window, IDOK);
    return run;
  }
  Texts texts_;
};

TEST_F(VerboseMode, ProgressMovesTheBarAndTheWindowClosesASecondAfterTheEngine) {
  EngineDir engine(
      "out Progress,100,40\nsleep 2000\nerr engine error line\nout Progress,100,100\n"
      "out Result,0,x,done.src,0\nstamp\nexit 0\n");
  auto run = StartConfirmed(engine);
  HWND window = run->WaitForProgressWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), texts_.progressCaption);
  EXPECT_EQ(WindowText(GetDlgItem(window, 301)), L"");
  // Reading the bar is itself window input, every 10 ms: the bar must still move.
  for (int i = 0; i < 150 && ProgressPosition(window) != 40; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(ProgressPosition(window), 40);
  EXPECT_EQ(ProgressUpperBound(window), 100);
  // Centred on the desktop.
  RECT rect;
  RECT desktop;
  GetWindowRect(window, &rect);
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(rect.left, (desktop.right - (rect.right - rect.left)) / 2);
  EXPECT_EQ(rect.top, (desktop.bottom - (rect.bottom - rect.top)) / 2);

  while (IsWindow(window) && IsWindowVisible(window)) std::this_thread::sleep_for(10ms);
  const ULONGLONG closed = GetTickCount64();
  const RunResult result = run->Finish();
  EXPECT_EQ(result.exitCode, 0u);

  const std::vector<std::string> recorded = engine.RecordedLines();
  ASSERT_EQ(recorded.size(), 2u);
  const std::wstring dir = engine.path().wstring();
  EXPECT_EQ(recorded[0], Narrow(L"\"" + dir + L"\\" + EngineName() + L"\" uninstall \"" + dir + L"\" "));
  const ULONGLONG engineDone = std::stoull(recorded[1].substr(5));
  // The window waits about a second after both channels end (the engine's
  // exit ends them), and not much longer.
  EXPECT_GE(closed - engineDone, 900u);
  EXPECT_LT(closed - engineDone, 5000u);

  const std::string log = testsupport::ReadFile(LogFile());
  EXPECT_THAT(log, HasSubstr("engine error line\n"));
  EXPECT_THAT(log, HasSubstr("SetupStatusRun( \"" + recorded[0] + "\", \"" + Narrow(LogFile().wstring()) + "\" )"));
  EXPECT_THAT(log, HasSubstr("SetupStatusResult( exitCode 0, result 0, errorFile \"done.src\", errorLine 0 )\r\n"));
}

TEST_F(VerboseMode, CancelStartsNothing) {
  EngineDir engine("exit 0\n");
  UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
  const MessageBoxSeen confirm = run.WaitForMessageBox();
  ASSERT_NE(confirm.window, nullptr);
  UninstallerRun::Press(confirm.window, IDCANCEL);
  EXPECT_EQ(run.Finish().exitCode, 0u);
  EXPECT_FALSE(fs::exists(engine.record()));
  EXPECT_FALSE(fs::exists(LogFile()));
}

TEST_F(VerboseMode, DriverModeNamesTheAdapterAndTellsTheEngine) {
  SetOverride(kDefaultStringsKey, L"7301", L"Utility name");
  SetOverride(kDefaultStringsKey, L"7303", L"Adapter name");
  EngineDir engine("exit 0\n");
  texts_.confirmText = L"This will remove the Adapter name from your computer. Continue?";
  auto run = StartConfirmed(engine, L" driver");
  EXPECT_EQ(run->Finish().exitCode, 0u);
  const std::wstring dir = engine.path().wstring();
  EXPECT_THAT(engine.RecordedLines(),
              ElementsAre(Narrow(L"\"" + dir + L"\\" + EngineName() + L"\" uninstall \"" + dir + L"\" RavDrv")));

  texts_.confirmText = L"This will remove the Utility name from your computer. Continue?";
  auto plain = StartConfirmed(engine);
  EXPECT_EQ(plain->Finish().exitCode, 0u);
}

TEST_F(VerboseMode, WithoutRootDirTheEngineIsLookedForInAnEmptyDirectory) {
  UninstallerRun run(L"ravuninst.exe", L"verbose", Environment());
  const MessageBoxSeen confirm = run.WaitForMessageBox();
  ASSERT_NE(confirm.window, nullptr);
  UninstallerRun::Press(confirm.window, IDOK);
  EXPECT_EQ(run.Finish().exitCode, 1u) << "the engine could not be started";
  EXPECT_THAT(testsupport::ReadFile(LogFile()),
              HasSubstr("SetupStatusRun( \"\"\\" + Narrow(EngineName()) + "\" uninstall \"\" \", "));
}

TEST_F(VerboseMode, AnErrorResultIsShownAndReturned) {
  EngineDir engine("out Result,100,x,stage.src,120\nexit 0\n");
  auto run = StartConfirmed(engine);
  const MessageBoxSeen error = run->WaitForMessageBox();
  ASSERT_NE(error.window, nullptr);
  EXPECT_EQ(error.caption, texts_.errorCaption);
  EXPECT_EQ(error.text, texts_.errorPrefix + L": stage.src 120.");
  UninstallerRun::Press(error.window, IDOK);
  EXPECT_EQ(run->Finish().exitCode, 100u);
}

TEST_F(VerboseMode, ResultsBelow100EndQuietly) {
  for (const char* script : {"out Result,99,x,f,1\nexit 0\n", "exit 42\n", "out Result,-5,,,\nexit 0\n"}) {
    SCOPED_TRACE(script);
    EngineDir engine(script);
    auto run = StartConfirmed(engine);
    const RunResult result = run->Finish(60s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0u);
  }
}

// The restart is proven on a test build of the program (link-time seam):
// ravuninst_restartrecorder.exe is the same program whose last step records
// the restart it would ask for instead of restarting the machine.
TEST_F(VerboseMode, RestartIsOfferedAndOnlyOkRestarts) {
  EngineDir engine("out Result,1,,,\nexit 0\n");
  for (int answer : {IDCANCEL, IDOK}) {
    auto run = StartConfirmed(engine, L"", L"ravuninst_restartrecorder.exe");
    const MessageBoxSeen question = run->WaitForMessageBox();
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.caption, texts_.restartCaption);
    EXPECT_EQ(question.text, texts_.restartText);
    // Both answers are there to press (a box may hold hidden buttons).
    for (const int button : {IDOK, IDCANCEL}) {
      const HWND shown = GetDlgItem(question.window, button);
      EXPECT_TRUE(shown != nullptr && IsWindowVisible(shown) && IsWindowEnabled(shown)) << "button " << button;
    }
    UninstallerRun::Press(question.window, answer);
    EXPECT_EQ(run->Finish().exitCode, 0u);
    if (answer == IDCANCEL) {
      EXPECT_FALSE(fs::exists(RestartRecord()));
    } else {
      EXPECT_EQ(testsupport::ReadFile(RestartRecord()), "flags=6 shutdown_privilege=1\n");
    }
  }
}

// A forced restart closes every program without asking: without a question
// to answer (an empty text 4014) there is no box and no restart.
TEST_F(VerboseMode, NoRestartWithoutAQuestionAnsweredOk) {
  // Overrides are looked up under the program's own name.
  const testsupport::ScopedRegistryKey overrides(HKEY_LOCAL_MACHINE,
                                                 std::wstring(kDefaultStringsKey) + L"\\ravuninst_restartrecorder");
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, std::wstring(kDefaultStringsKey) +
                                     L"\\ravuninst_restartrecorder\\9\\1", L"4014", L""));
  EngineDir engine("out Result,1,,,\nexit 0\n");
  auto run = StartConfirmed(engine, L"", L"ravuninst_restartrecorder.exe");
  const RunResult result = run->Finish(60s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_FALSE(fs::exists(RestartRecord()));
  EXPECT_THAT(TraceAfterCommandLine(result), Contains("PromptRestart: no restart question text (4014); not restarting"));
}

TEST_F(VerboseMode, AStandardUserIsWarnedAndNothingRuns) {
  EngineDir engine("exit 0\n");
  rav::UniqueHandle token = testsupport::StandardUserToken();
  ASSERT_TRUE(token);
  {
    UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine), token.get());
    const MessageBoxSeen warning = run.WaitForMessageBox();
    ASSERT_NE(warning.window, nullptr);
    EXPECT_EQ(warning.caption, texts_.errorCaption);
    EXPECT_EQ(warning.text, texts_.adminText);
    UninstallerRun::Press(warning.window, IDOK);
    EXPECT_EQ(run.Finish().exitCode, 4u);
  }
  {
    // A build without texts: no box at all, and its own exit code.
    UninstallerRun run(L"ravuninst_notexts.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine),
                       token.get());
    EXPECT_EQ(run.Finish(60s).exitCode, 6u);
  }
  {
    // Without texts an administrator cannot be asked either: nothing happens.
    UninstallerRun run(L"ravuninst_notexts.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine));
    EXPECT_EQ(run.Finish(60s).exitCode, 0u);
  }
  EXPECT_FALSE(fs::exists(engine.record()));
}

// ---- Languages ---------------------------------------------------------------

// Runs with LC_ALL=de_DE.UTF-8: Wine's user language is then German (0x0407).
class GermanUserInLocale : public VerboseMode {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetUserDefaultUILanguage(), 0x0407);
    const std::wstring utility = L"\u201ECorvane WLAN-Dienstprogramm\u201C";
    texts_.confirmCaption = L"Entfernen best\u00e4tigen";
    texts_.confirmText = L"Hiermit wird " + utility + L" von Ihrem Computer entfernt. M\u00f6chten Sie fortfahren?";
    texts_.progressCaption = utility + L" wird entfernt";
    texts_.errorCaption = L"Fehler beim Entfernen";
    texts_.errorPrefix = L"Das Entfernen von " + utility + L" kann nicht fortgesetzt werden. Fehlercode";
    texts_.restartCaption = L"Windows neu starten";
    texts_.restartText = L"Um das Entfernen abzuschlie\u00dfen, muss das System neu gestartet werden";
    texts_.adminText = L"Zum Entfernen von " + utility + L" sind Administratorrechte erforderlich.";
  }
};

TEST_F(GermanUserInLocale, SeesGermanTextsInEveryBoxAndWindow) {
  EngineDir engine("out Progress,100,40\nsleep 1500\nout Result,100,x,stage.src,120\nexit 0\n");
  auto run = StartConfirmed(engine);
  HWND window = run->WaitForProgressWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), texts_.progressCaption);
  const MessageBoxSeen error = run->WaitForMessageBox();
  EXPECT_EQ(error.caption, texts_.errorCaption);
  EXPECT_EQ(error.text, texts_.errorPrefix + L": stage.src 120.");
  UninstallerRun::Press(error.window, IDOK);
  EXPECT_EQ(run->Finish().exitCode, 100u);
}

TEST_F(GermanUserInLocale, DriverModeNamesTheAdapterAndAsksToRestartInGerman) {
  const std::wstring adapter = L"\u201ECorvane 802.11ac Dualband-WLAN-USB-Adapter\u201C";
  texts_.confirmText = L"Hiermit wird " + adapter + L" von Ihrem Computer entfernt. M\u00f6chten Sie fortfahren?";
  EngineDir engine("out Result,1,,,\nexit 0\n");
  auto run = StartConfirmed(engine, L" driver", L"ravuninst_restartrecorder.exe");
  const MessageBoxSeen question = run->WaitForMessageBox();
  EXPECT_EQ(question.caption, texts_.restartCaption);
  EXPECT_EQ(question.text, texts_.restartText);
  UninstallerRun::Press(question.window, IDCANCEL);
  EXPECT_EQ(run->Finish().exitCode, 0u);
}

TEST_F(GermanUserInLocale, AStandardUserIsWarnedInGerman) {
  EngineDir engine("exit 0\n");
  rav::UniqueHandle token = testsupport::StandardUserToken();
  UninstallerRun run(L"ravuninst.exe", L"verbose " + engine.RootDirArgument(), Environment(&engine), token.get());
  const MessageBoxSeen warning = run.WaitForMessageBox();
  EXPECT_EQ(warning.caption, texts_.errorCaption);
  EXPECT_EQ(warning.text, texts_.adminText);
  UninstallerRun::Press(warning.window, IDOK);
  EXPECT_EQ(run.Finish().exitCode, 4u);
}

// Pictures of every window and box, for people to look at:
// build/i686/screenshots/<language>-*.png.
class Screenshots : public VerboseMode {
 protected:
  void Capture(HWND window, const std::string& name) {
    ASSERT_NE(window, nullptr) << name;
    std::this_thread::sleep_for(300ms);  // let it paint
    const fs::path file = testsupport::ScreenshotDir() / (language_ + "-" + name + ".png");
    EXPECT_TRUE(testsupport::SaveWindowPng(window, file)) << file.string();
    EXPECT_GT(fs::file_size(file), 1000u);
  }

  void TakeAll(const std::wstring& confirmCaption) {
    EngineDir failing("out Progress,100,40\nsleep 3000\nout Result,100,x,stage.src,120\nexit 0\n");
    UninstallerRun run(L"ravuninst.exe", L"verbose " + failing.RootDirArgument(), Environment(&failing));
    const MessageBoxSeen confirm = run.WaitForMessageBox();
    EXPECT_EQ(confirm.caption, confirmCaption);
    Capture(confirm.window, "confirmation");
    UninstallerRun::Press(confirm.window, IDOK);
    HWND window = run.WaitForProgressWindow();
    ASSERT_NE(window, nullptr);
    for (int i = 0; i < 200 && ProgressPosition(window) != 40; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ProgressPosition(window), 40);
    Capture(window, "progress-40");
    const MessageBoxSeen error = run.WaitForMessageBox();
    Capture(error.window, "error");
    UninstallerRun::Press(error.window, IDOK);
    EXPECT_EQ(run.Finish().exitCode, 100u);

    EngineDir restarting("out Result,1,,,\nexit 0\n");
    UninstallerRun again(L"ravuninst_restartrecorder.exe", L"verbose " + restarting.RootDirArgument(),
                         Environment(&restarting));
    const MessageBoxSeen confirmAgain = again.WaitForMessageBox();
    UninstallerRun::Press(confirmAgain.window, IDOK);
    const MessageBoxSeen question = again.WaitForMessageBox();
    Capture(question.window, "restart");
    UninstallerRun::Press(question.window, IDCANCEL);
    EXPECT_EQ(again.Finish().exitCode, 0u);
  }
  std::string language_;
};

class EnglishScreenshotsInLocale : public Screenshots {};
class JapaneseScreenshotsInLocale : public Screenshots {};

TEST_F(EnglishScreenshotsInLocale, OfEveryWindowAndBox) {
  language_ = "en";
  TakeAll(L"Confirm Removal");
}

TEST_F(JapaneseScreenshotsInLocale, OfEveryWindowAndBox) {
  ASSERT_EQ(GetUserDefaultUILanguage(), 0x0411);
  language_ = "ja";
  TakeAll(L"\u524a\u9664\u306e\u78ba\u8a8d");
}

// ---- The dialog template -----------------------------------------------------

TEST(DialogTemplate, Template101IsExactlyTheProgressWindow) {
  rav::UniqueLibrary program(
      LoadLibraryExW(testsupport::BinPath(L"ravuninst.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(program);
  HRSRC found = FindResourceExW(program.get(), MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(101), 1033);
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(program.get(), found)));
  auto word = [&data](std::size_t at) { return *reinterpret_cast<const WORD*>(data + at); };
  auto dword = [&data](std::size_t at) { return *reinterpret_cast<const DWORD*>(data + at); };
  auto text = [&data](std::size_t& at) {
    std::wstring s;
    for (; *reinterpret_cast<const wchar_t*>(data + at) != 0; at += 2) s += *reinterpret_cast<const wchar_t*>(data + at);
    at += 2;
    return s;
  };
  ASSERT_EQ(word(0), 1);        // DLGTEMPLATEEX
  ASSERT_EQ(word(2), 0xFFFF);
  EXPECT_EQ(dword(8), 0u);      // no extended style
  EXPECT_EQ(dword(12), 0x80C000C8u);
  EXPECT_EQ(word(16), 2);       // controls
  EXPECT_EQ(word(18), 0);
  EXPECT_EQ(word(20), 0);
  EXPECT_EQ(word(22), 300);
  EXPECT_EQ(word(24), 44);
  std::size_t at = 26;
  EXPECT_EQ(word(at), 0);       // no menu
  at += 2;
  EXPECT_EQ(word(at), 0);       // standard dialog class
  at += 2;
  EXPECT_EQ(text(at), L"");     // caption set at run time
  EXPECT_EQ(word(at), 8);       // points
  at += 6;                      // size, weight, italic, charset
  EXPECT_EQ(text(at), L"MS Shell Dlg");

  struct Control {
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring className;
    std::wstring title;
  };
  std::vector<Control> controls;
  for (int i = 0; i < 2; ++i) {
    at = (at + 3) & ~std::size_t{3};
    Control c;
    c.style = dword(at + 8);
    c.x = static_cast<short>(word(at + 12));
    c.y = static_cast<short>(word(at + 14));
    c.cx = static_cast<short>(word(at + 16));
    c.cy = static_cast<short>(word(at + 18));
    c.id = dword(at + 20);
    at += 24;
    if (word(at) == 0xFFFF) {
      c.className = L"#" + std::to_wstring(word(at + 2));
      at += 4;
    } else {
      c.className = text(at);
    }
    c.title = text(at);
    at += 2 + word(at);  // creation data
    controls.push_back(c);
  }
  EXPECT_EQ(controls[0].id, 301u);
  EXPECT_EQ(controls[0].className, L"#130");  // the predefined static class
  EXPECT_EQ(controls[0].style, 0x50020000u);
  EXPECT_EQ(controls[0].title, L"");
  EXPECT_EQ((std::vector<short>{controls[0].x, controls[0].y, controls[0].cx, controls[0].cy}),
            (std::vector<short>{8, 8, 284, 12}));
  EXPECT_EQ(controls[1].id, 201u);
  // The resource compiler stores class names in capitals; the system looks
  // classes up without regard to case.
  EXPECT_EQ(CompareStringOrdinal(controls[1].className.c_str(), -1, L"msctls_progress32", -1, TRUE), CSTR_EQUAL)
      << Narrow(controls[1].className);
  EXPECT_EQ(controls[1].style, 0x50800000u);
  EXPECT_EQ(controls[1].title, L"ProgressBar");
  EXPECT_EQ((std::vector<short>{controls[1].x, controls[1].y, controls[1].cx, controls[1].cy}),
            (std::vector<short>{8, 24, 284, 12}));
}

}  // namespace
}  // namespace uninstaller_test
