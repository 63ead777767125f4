#include "uninstaller/tests/uninstaller_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "testsupport/test_paths.h"
#include "testsupport/text.h"

namespace uninstaller_test {
namespace fs = std::filesystem;

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kProgressBarId = 201;

bool IsDialog(HWND window) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  return std::wstring(className) == L"#32770";
}

template <typename Found>
HWND WaitFor(DWORD processId, std::chrono::milliseconds timeout, Found found) {
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < giveUp) {
    for (HWND window : VisibleWindows(processId)) {
      if (found(window)) return window;
    }
    std::this_thread::sleep_for(20ms);
  }
  return nullptr;
}

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) search->windows.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> VisibleWindows(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.windows;
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

int ProgressPosition(HWND progressWindow) {
  return static_cast<int>(SendMessageW(GetDlgItem(progressWindow, kProgressBarId), PBM_GETPOS, 0, 0));
}

int ProgressUpperBound(HWND progressWindow) {
  return static_cast<int>(SendMessageW(GetDlgItem(progressWindow, kProgressBarId), PBM_GETRANGE, FALSE, 0));
}

UninstallerRun::UninstallerRun(const std::wstring& program, const std::wstring& arguments,
                               std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment,
                               HANDLE token) {
  testsupport::RunOptions options;
  options.commandLine = testsupport::QuoteArgument(testsupport::BinPath(program).wstring());
  if (!arguments.empty()) options.commandLine += L" " + arguments;
  options.environment = std::move(environment);
  options.token = token;
  options.timeout = 180s;
  options.onStarted = [this](DWORD id) { processId_ = id; };
  run_ = testsupport::RunProgramAsync(std::move(options));
}

UninstallerRun::~UninstallerRun() {
  if (finished_) return;
  // A failed test may leave a box open: end the program rather than hang.
  if (DWORD id = processId_.load()) {
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
      TerminateProcess(process, 0xDEAD);
      CloseHandle(process);
    }
  }
  run_.wait();
}

DWORD UninstallerRun::processId() {
  for (int i = 0; i < 500 && processId_.load() == 0; ++i) std::this_thread::sleep_for(10ms);
  return processId_.load();
}

MessageBoxSeen UninstallerRun::WaitForMessageBox(std::chrono::milliseconds timeout) {
  MessageBoxSeen seen;
  seen.window = WaitFor(processId(), timeout,
                        [](HWND window) { return IsDialog(window) && GetDlgItem(window, kMessageBoxTextId) != nullptr; });
  if (seen.window != nullptr) {
    seen.caption = WindowText(seen.window);
    seen.text = WindowText(GetDlgItem(seen.window, kMessageBoxTextId));
  }
  return seen;
}

void UninstallerRun::Press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  // Answered: wait until the box has gone, so the next one found is new.
  for (int i = 0; i < 500 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) std::this_thread::sleep_for(10ms);
}

HWND UninstallerRun::WaitForProgressWindow(std::chrono::milliseconds timeout) {
  return WaitFor(processId(), timeout,
                 [](HWND window) { return IsDialog(window) && GetDlgItem(window, kProgressBarId) != nullptr; });
}

testsupport::RunResult UninstallerRun::Finish(std::chrono::milliseconds timeout) {
  if (run_.wait_for(timeout) != std::future_status::ready) {
    ADD_FAILURE() << "ravuninst did not end";
    return {};
  }
  finished_ = true;
  return run_.get();
}

EngineDir::EngineDir(const std::string& script) {
  for (const wchar_t* engine : {L"ravengine32.exe", L"ravengine64.exe"}) {
    fs::copy_file(testsupport::BinPath(engine), path() / engine);
  }
  testsupport::WriteFile(path() / L"ravengine.script", script);
}

std::wstring EngineDir::RootDirArgument() const { return L"/rootdir=\"" + path().wstring() + L"\""; }

std::vector<std::pair<std::wstring, std::optional<std::wstring>>> EngineDir::Environment() const {
  return {{L"RAV_ENGINE_RECORD", record().wstring()}, {L"RAV_ENGINE_SCRIPT", std::nullopt}};
}

std::vector<std::string> EngineDir::RecordedLines() const {
  return testsupport::SplitLines(testsupport::ReadFile(record()));
}

}  // namespace uninstaller_test
