#pragma once
// Runs the real ravuninst.exe for a test and works its windows from outside,
// as a person would: reads captions and texts, presses buttons, reads the
// progress bar.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/dir_tree.h"
#include "testsupport/registry_values.h"
#include "testsupport/process_runner.h"
#include "testsupport/window_driver.h"

namespace uninstaller_test {

using namespace std::chrono_literals;

using testsupport::MessageBoxSeen;
using testsupport::WindowText;

class UninstallerRun {
 public:
  // Starts build/i686/bin/<program> with the arguments after its path.
  UninstallerRun(const std::wstring& program, const std::wstring& arguments,
                 std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment = {},
                 HANDLE token = nullptr);
  ~UninstallerRun();

  // The next message box of the program (waits up to `timeout`).
  MessageBoxSeen WaitForMessageBox(std::chrono::milliseconds timeout = 30s);
  // Presses a button (IDOK, IDCANCEL) and waits for the box to close.
  static void Press(HWND dialog, int button) { testsupport::Press(dialog, button); }
  // Answers the confirmation with OK; false when none came.
  bool Confirm(std::chrono::milliseconds timeout = 30s);
  // The progress window (dialog with control 201) once it is visible.
  HWND WaitForProgressWindow(std::chrono::milliseconds timeout = 30s);

  // Waits for the program to end; its exit code and trace.
  testsupport::RunResult Finish(std::chrono::milliseconds timeout = 120s);
  DWORD processId();

 private:
  std::atomic<DWORD> processId_{0};
  std::future<testsupport::RunResult> run_;
  bool finished_ = false;
};

inline int ProgressPosition(HWND progressWindow) { return testsupport::ProgressPosition(progressWindow, 201); }
inline int ProgressUpperBound(HWND progressWindow) { return testsupport::ProgressUpperBound(progressWindow, 201); }

// A directory with the stand-in engines under both names and a script.
class EngineDir {
 public:
  explicit EngineDir(const std::string& script);
  const std::filesystem::path& path() const { return scratch_.path(); }
  std::wstring RootDirArgument() const;  // /rootdir="<dir>"
  std::filesystem::path record() const { return path() / L"record.txt"; }
  // The engine's environment: where it records its command line and ticks.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> Environment() const;
  std::vector<std::string> RecordedLines() const;

 private:
  testsupport::TempDir scratch_;
};

inline constexpr wchar_t kUninstallList[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr wchar_t kDefaultStringsKey[] = L"SOFTWARE\\Corvane\\802.11\\LocalizedStrings";

// Each test gets its own temporary directory (the log goes there) and a
// registry without the records the tests write.
class UninstallerTest : public ::testing::Test {
 protected:
  using Environment_t = std::vector<std::pair<std::wstring, std::optional<std::wstring>>>;
  Environment_t Environment(const EngineDir* engine = nullptr) const;
  std::filesystem::path LogFile() const { return temp_.path() / L"ravwl.log"; }
  std::filesystem::path RestartRecord() const { return temp_.path() / L"restart.txt"; }
  std::filesystem::path RemovalRecord() const { return temp_.path() / L"removals.txt"; }
  // An override text for English below a LocalizedStrings key.
  void SetOverride(const std::wstring& stringsKey, const std::wstring& number, const std::wstring& text);

  testsupport::TempDir temp_;
  testsupport::ScopedRegistryKey testKeys_{HKEY_LOCAL_MACHINE, L"SOFTWARE\\RavTest"};
  testsupport::ScopedRegistryKey defaultOverrides_{HKEY_LOCAL_MACHINE, std::wstring(kDefaultStringsKey) + L"\\ravuninst"};
  testsupport::ScopedRegistryKey applicationEntry_{HKEY_LOCAL_MACHINE,
                                                   std::wstring(kUninstallList) + L"\\Corvane 802.11 Application"};
  testsupport::ScopedRegistryKey adapterEntry_{HKEY_LOCAL_MACHINE,
                                               std::wstring(kUninstallList) + L"\\Corvane 802.11b Network Adapter"};
};

}  // namespace uninstaller_test
