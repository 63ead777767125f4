// Holds the Wine session's desktop for a whole test run. Wine closes a
// desktop a moment after its last user has gone and starts it again for
// the next; the desktop process then inherits the standard streams of
// whichever test program started it and keeps them open, so the test
// runner waits for it. Started once, with no streams, by
// tools/wine-session.sh, this program stays a user of the desktop until the
// session is stopped.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // A hidden window connects this process to the desktop.
  HWND window = CreateWindowExW(0, L"STATIC", L"desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr);
  MSG message;
  while (window != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
