#include "launcher/console_window.h"

#include <cstdint>

#include "launcher/debug_print.h"
#include "launcher/core/launcher_paths.h"

namespace launcher {

HWND FindConsoleWindow() {
  char path[kMaxPathChars] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  path[sizeof path - 1] = '\0';
  DebugPrint("Window Title: %s", path);
  return FindWindowA("ConsoleWindowClass", path);
}

void HideConsoleWindow() {
  HWND window = FindConsoleWindow();
  const int handle = static_cast<int>(reinterpret_cast<std::intptr_t>(window));
  if (window != nullptr) {
    DebugPrint("Found Window Handle: %d", handle);
  } else {
    DebugPrint("Failed to Find Window Handle: %d", handle);
  }
  // Asked for even without a window: ShowWindow does nothing then.
  ShowWindow(window, SW_HIDE);
}

}  // namespace launcher
