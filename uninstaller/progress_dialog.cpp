#include "uninstaller/progress_dialog.h"

#include <commctrl.h>

#include "uninstaller/message_boxes.h"
#include "uninstaller/core/window_geometry.h"

namespace ravuninst {
namespace {

void CentreOnDesktop(HWND dialog) {
  RECT desktop;
  RECT window;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(dialog, &window);
  const Point origin = CenteredOrigin(desktop.left, desktop.top, desktop.right - desktop.left,
                                      desktop.bottom - desktop.top, window.right - window.left,
                                      window.bottom - window.top);
  SetWindowPos(dialog, HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE);
}

// Sets a window's text to message `number`, or empties it without one.
void SetMessageText(HWND window, LPARAM number) {
  const rav::UniqueMallocText text = LoadMessageText(static_cast<std::uint16_t>(number));
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text.get() : L""));
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOnDesktop(dialog);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    case UM_SETTITLE:
      SetMessageText(dialog, lParam);
      return TRUE;
    case UM_SETSTATUS:
      SetMessageText(GetDlgItem(dialog, kStatusLineId), lParam);
      return TRUE;
    case UM_SETPROGRESS:
      if (HWND bar = GetDlgItem(dialog, kProgressBarId)) {
        SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(wParam));
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(lParam), 0);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace ravuninst
