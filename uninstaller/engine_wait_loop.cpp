#include "uninstaller/engine_wait_loop.h"

#include "uninstaller/progress_dialog.h"

namespace ravuninst {
namespace {

constexpr DWORD kWaitMs = 100;
// Pipe handles are always signalled, data or not, so a wait on them returns
// at once. After a poll that found nothing the loop waits for window input
// only, and polls again once this much time has passed since the last poll,
// however much input comes in between: a quiet engine then costs next to
// nothing, and a new line still reaches the bar well within the 100 ms.
constexpr DWORD kIdlePaceMs = 25;
constexpr DWORD kCloseDelayMs = 1000;

// Serves every waiting message; false once WM_QUIT has come.
bool ServeMessages(HWND window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

}  // namespace

void RunEngineWaitLoop(HWND progressWindow, SetupStatus& status) {
  bool statusEnded = false;
  bool errorEnded = false;
  bool closing = false;
  bool idle = false;
  // 32-bit ticks, compared only as differences: right across the wrap.
  DWORD lastPoll = GetTickCount();
  while (ServeMessages(progressWindow)) {
    if (idle) {
      const DWORD since = GetTickCount() - lastPoll;
      if (since < kIdlePaceMs) {
        const DWORD waited = MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdlePaceMs - since, QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0) continue;  // window input: serve it, then wait out the rest
        if (waited != WAIT_TIMEOUT) return;     // the wait failed
      }
    } else {
      HANDLE channels[] = {status.outputRead(), status.errorRead()};
      const DWORD waited = MsgWaitForMultipleObjects(2, channels, FALSE, kWaitMs, QS_ALLINPUT);
      if (waited == WAIT_OBJECT_0 + 2) continue;  // window input
      if (waited != WAIT_TIMEOUT && waited > WAIT_OBJECT_0 + 1) return;  // the wait failed
    }

    if (statusEnded && errorEnded && !closing) {
      closing = true;
      Sleep(kCloseDelayMs);
      ShowWindow(progressWindow, SW_HIDE);
      DestroyWindow(progressWindow);  // posts WM_QUIT
    }
    bool tookSomething = false;
    std::int32_t first = 0;
    std::int32_t second = 0;
    const int polled = status.Poll(1000, first, second);
    if (polled == SetupStatus::kProgress) {
      SendMessageW(progressWindow, UM_SETPROGRESS, static_cast<WPARAM>(first), static_cast<LPARAM>(second));
      tookSomething = true;
    } else if (polled == SetupStatus::kChannelEnded || polled == SetupStatus::kChannelError) {
      statusEnded = true;
    }
    std::u16string dropped;
    int read;
    while ((read = status.errorReader().ReadLine(dropped)) == PipeReader::kLine) tookSomething = true;
    if (read == PipeReader::kEnded || read == PipeReader::kError) errorEnded = true;
    // Once both channels have ended the next pass closes the window: no
    // idle pause before it.
    idle = !tookSomething && !(statusEnded && errorEnded);
    lastPoll = GetTickCount();
  }
}

}  // namespace ravuninst
