#pragma once
#include <windows.h>

namespace launcher {

// The launcher's own console window: class "ConsoleWindowClass" titled with
// exactly the executable's path. Null when there is none.
HWND FindConsoleWindow();

// Finds the console window, logs what was found and hides it.
void HideConsoleWindow();

}  // namespace launcher
