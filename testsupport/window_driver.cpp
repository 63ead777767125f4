#include "testsupport/window_driver.h"

#include <commctrl.h>

#include <thread>

namespace testsupport {
namespace {

using namespace std::chrono_literals;

constexpr int kMessageBoxTextId = 0xFFFF;

bool IsDialog(HWND window) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  return std::wstring(className) == L"#32770";
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

MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
  MessageBoxSeen seen;
  seen.window = WaitFor(processId, timeout,
                        [](HWND window) { return IsDialog(window) && GetDlgItem(window, kMessageBoxTextId) != nullptr; });
  if (seen.window != nullptr) {
    seen.caption = WindowText(seen.window);
    seen.text = WindowText(GetDlgItem(seen.window, kMessageBoxTextId));
  }
  return seen;
}

HWND WaitForDialogWith(DWORD processId, int controlId, std::chrono::milliseconds timeout) {
  return WaitFor(processId, timeout,
                 [controlId](HWND window) { return IsDialog(window) && GetDlgItem(window, controlId) != nullptr; });
}

void Press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  for (int i = 0; i < 500 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) std::this_thread::sleep_for(10ms);
}

int ProgressPosition(HWND dialog, int barId) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, barId), PBM_GETPOS, 0, 0));
}

int ProgressUpperBound(HWND dialog, int barId) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, barId), PBM_GETRANGE, FALSE, 0));
}

}  // namespace testsupport
