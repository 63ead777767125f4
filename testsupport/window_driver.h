#pragma once
// Working another program's windows from outside, as a person would: find
// its message boxes and dialogs, read their texts, press their buttons,
// read a progress bar.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {

// A message box as shown: caption, text, and the box itself to answer.
struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};

// Every visible top-level window of the process.
std::vector<HWND> VisibleWindows(DWORD processId);
std::wstring WindowText(HWND window);

// The process's next message box (waits up to `timeout`).
MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout);
// The process's dialog that holds a control with this ID, once visible.
HWND WaitForDialogWith(DWORD processId, int controlId, std::chrono::milliseconds timeout);

// Presses a button (IDOK, IDCANCEL) of a dialog or message box and waits for
// it to close.
void Press(HWND dialog, int button);

// Position and upper bound of the progress bar with this control ID.
int ProgressPosition(HWND dialog, int barId);
int ProgressUpperBound(HWND dialog, int barId);

}  // namespace testsupport
