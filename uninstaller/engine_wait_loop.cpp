#include "uninstaller/engine_wait_loop.h"

#include "uninstaller/debug_trace.h"
#include "uninstaller/progress_dialog.h"
#include "uninstaller/services/uninstall_log.h"

namespace ravuninst {
namespace {

constexpr DWORD kWaitMs = 100;
// Pipe handles are always signalled, data or not, so a wait on them returns
// at once. After a pass that found nothing at all the loop waits for window
// input only, and polls again once this much time has passed since that
// pass, however much input comes in between: a quiet engine then costs next
// to nothing, and a new line still reaches the bar well within the 100 ms.
constexpr DWORD kIdlePaceMs = 25;
// The most one pass spends taking lines before it serves the window again,
// whatever the engine writes (each read inside is bounded too).
constexpr DWORD kPassBudgetMs = 25;
// Once the engine's process has ended, its pipes get this long to drain. A
// process that the engine started with its handles may hold them open for
// ever; after this the channels count as ended.
constexpr DWORD kDrainGraceMs = 3000;
constexpr DWORD kCloseDelayMs = 1000;

// Serves every waiting message; false once WM_QUIT has come. `window` is
// null once destroyed.
bool ServeMessages(HWND window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    if (window == nullptr || !IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

struct Channels {
  bool statusEnded = false;
  bool errorEnded = false;
  bool both() const { return statusEnded && errorEnded; }
};

// Takes status and error lines until both pipes are empty or the pass's
// time is up. True when it took anything at all. The bar gets the last
// progress line of the pass: within one pass nobody could see the others.
// `progressWindow` is null once destroyed.
bool TakeWhatWaits(HWND progressWindow, SetupStatus& status, Channels& channels) {
  const DWORD passStart = GetTickCount();
  bool tookSomething = false;
  bool progressTaken = false;
  std::int32_t first = 0;
  std::int32_t second = 0;
  for (;;) {
    bool tookThisRound = false;
    if (!channels.statusEnded) {
      std::int32_t lineFirst = 0;
      std::int32_t lineSecond = 0;
      const StatusPoll polled = SetupStatusPoll(status, 1000, lineFirst, lineSecond);
      if (polled == StatusPoll::kProgress) {
        progressTaken = true;
        first = lineFirst;
        second = lineSecond;
      } else if (polled == StatusPoll::kChannelEnded || polled == StatusPoll::kChannelError) {
        channels.statusEnded = true;
      }
      tookThisRound = status.lastPollTookInput();
    }
    // Error lines are dropped: take what waits of them in one go.
    while (!channels.errorEnded) {
      std::u16string dropped;
      const LineRead read = status.errorReader().ReadLine(dropped);
      if (read == LineRead::kEnded || read == LineRead::kError) channels.errorEnded = true;
      if (!status.errorReader().tookInput()) break;
      tookThisRound = true;
      if (read != LineRead::kLine || GetTickCount() - passStart >= kPassBudgetMs) break;
    }
    tookSomething = tookSomething || tookThisRound;
    // Wrap-safe: only the difference of two tick counts is compared.
    if (!tookThisRound || GetTickCount() - passStart >= kPassBudgetMs) break;
  }
  if (progressTaken && progressWindow != nullptr) {
    SendMessageW(progressWindow, UM_SETPROGRESS, static_cast<WPARAM>(first), static_cast<LPARAM>(second));
  }
  return tookSomething;
}

}  // namespace

void RunEngineWaitLoop(rav::UniqueWindow& progressWindow, SetupStatus& status) {
  Channels channels;
  bool closing = false;
  bool idle = false;
  bool engineEnded = false;
  DWORD lastPass = GetTickCount();
  DWORD engineEndSeen = 0;
  while (ServeMessages(progressWindow.get())) {
    if (idle) {
      const DWORD sinceLastPass = GetTickCount() - lastPass;
      if (sinceLastPass < kIdlePaceMs) {
        const DWORD waited = MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdlePaceMs - sinceLastPass, QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0) continue;  // window input: serve it, then wait out the rest
        if (waited != WAIT_TIMEOUT) return;     // the wait failed
      }
    } else {
      HANDLE handles[] = {status.outputRead(), status.errorRead()};
      const DWORD waited = MsgWaitForMultipleObjects(2, handles, FALSE, kWaitMs, QS_ALLINPUT);
      if (waited == WAIT_OBJECT_0 + 2) continue;  // window input
      if (waited != WAIT_TIMEOUT && waited > WAIT_OBJECT_0 + 1) return;  // the wait failed
    }

    if (channels.both() && !closing) {
      closing = true;
      Sleep(kCloseDelayMs);
      ShowWindow(progressWindow.get(), SW_HIDE);
      progressWindow.reset();  // destroys it, which posts WM_QUIT
    }
    const bool tookSomething = TakeWhatWaits(progressWindow.get(), status, channels);
    lastPass = GetTickCount();

    if (!channels.both()) {
      if (!engineEnded && status.EngineHasEnded()) {
        engineEnded = true;
        engineEndSeen = lastPass;
      } else if (engineEnded && lastPass - engineEndSeen >= kDrainGraceMs) {
        // Another process holds the engine's pipes: what the engine wrote
        // has long been read, so stop waiting for the pipes to end.
        LogWrite(2, L"RunUninstall: the engine ended %lu ms ago and its pipes are still open (held by a process it "
                    L"started); taken as ended\n",
                 static_cast<unsigned long>(kDrainGraceMs));
        DebugTrace(L"RunUninstall: the engine has ended; its pipes, still held open, are taken as ended");
        channels.statusEnded = true;
        channels.errorEnded = true;
      }
    }
    // Once both channels have ended the next pass closes the window: no
    // idle pause before it.
    idle = !tookSomething && !channels.both();
  }
}

}  // namespace ravuninst
