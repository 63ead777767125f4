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

#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"

namespace uninstaller_test {

using namespace std::chrono_literals;

// A message box as shown: caption, text, and the box itself to answer.
struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};

class UninstallerRun {
 public:
  // Starts build/i686/bin/<program> with the arguments after its path.
  UninstallerRun(const std::wstring& program, const std::wstring& arguments,
                 std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment = {},
                 HANDLE token = nullptr);
  ~UninstallerRun();

  // The next message box of the program (waits up to `timeout`).
  MessageBoxSeen WaitForMessageBox(std::chrono::milliseconds timeout = 30s);
  // Presses a button (IDOK, IDCANCEL) of a dialog or message box.
  static void Press(HWND dialog, int button);
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

// Every visible top-level window of the process.
std::vector<HWND> VisibleWindows(DWORD processId);
std::wstring WindowText(HWND window);
int ProgressPosition(HWND progressWindow);
int ProgressUpperBound(HWND progressWindow);

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

}  // namespace uninstaller_test
