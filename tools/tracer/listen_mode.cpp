#include "tools/tracer/listen_mode.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "common/ansi_text.h"
#include "common/core/elapsed_ticks.h"
#include "common/wide_utf8.h"
#include "common/win_resources.h"
#include "tools/tracer/dbwin_channel.h"
#include "tools/tracer/process_names.h"
#include "tools/tracer/trace_output.h"

namespace tracer {
namespace {

// While idle, the listener lets writers in again this often: a writer that
// took its turn and ended before writing would otherwise hold up every other
// writer of the session.
constexpr DWORD kIdleMs = 1000;

// Ctrl+C and Ctrl+Break set an event the listening loop waits for; the
// handler runs on a thread of its own.
std::atomic<HANDLE> g_interrupt{nullptr};
std::atomic<DWORD> g_interruptType{0};

BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  g_interruptType = type;
  if (const HANDLE interrupt = g_interrupt.load()) SetEvent(interrupt);
  return TRUE;
}

class ConsoleInterrupt {
 public:
  explicit ConsoleInterrupt(HANDLE event) {
    g_interrupt = event;
    // A program started in a process group of its own inherits Ctrl+C as
    // ignored; ravtrace listen is stopped by it all the same.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  }
  ~ConsoleInterrupt() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    g_interrupt = nullptr;
  }
  ConsoleInterrupt(const ConsoleInterrupt&) = delete;
  ConsoleInterrupt& operator=(const ConsoleInterrupt&) = delete;
};

// A named event, made (manual reset, not set) when missing.
bool MakeNamedEvent(const std::string& name, rav::UniqueHandle& event) {
  event.reset(CreateEventW(nullptr, TRUE, FALSE, rav::Utf8ToWide(name).c_str()));
  if (event) return true;
  Report(WithErrorCode("cannot make or open the event " + name, GetLastError()));
  return false;
}

class Listener {
 public:
  Listener(DbwinChannel& channel, TracePrinter& printer) : channel_(channel), printer_(printer) {}

  // Prints the record a writer has put into the buffer.
  void TakeRecord() {
    const DbwinRecord record = channel_.Read();
    // Looked up before the writer may go on: a writer with more to say
    // waits for its turn, so it is still there to be named.
    const std::string image = names_.NameOf(record.processId);
    channel_.LetWriterIn();
    printer_.Print(record.processId, image, rav::AnsiToUtf8(record.text));
  }

 private:
  DbwinChannel& channel_;
  TracePrinter& printer_;
  ProcessNames names_;
};

}  // namespace

ExitCode Listen(const TraceOptions& options) {
  TracePrinter printer(options.filter);
  if (!printer.OpenOutput(options.output)) return ExitCode::kFailed;
  rav::UniqueHandle stop;
  rav::UniqueHandle ready;
  if (!options.stopEvent.empty() && !MakeNamedEvent(options.stopEvent, stop)) return ExitCode::kFailed;
  if (!options.readyEvent.empty() && !MakeNamedEvent(options.readyEvent, ready)) return ExitCode::kFailed;
  rav::UniqueHandle interrupt(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!interrupt) {
    Report(WithErrorCode("cannot make an event", GetLastError()));
    return ExitCode::kFailed;
  }
  ConsoleInterrupt console(interrupt.get());

  DbwinChannel channel;
  std::string problem;
  if (channel.Open(problem) != DbwinChannel::OpenResult::kOpen) {
    Report(problem);
    return ExitCode::kFailed;
  }
  Listener listener(channel, printer);
  channel.LetWriterIn();
  if (ready) SetEvent(ready.get());
  Report("listening");

  std::vector<HANDLE> waits = {interrupt.get()};
  if (stop) waits.push_back(stop.get());
  // Last: when a stop and a record come together, the stop is seen first
  // and the record is still taken below; a busy channel cannot hold off a
  // stop.
  waits.push_back(channel.dataReady());
  const DWORD dataIndex = static_cast<DWORD>(waits.size() - 1);
  rav::ElapsedTicks clock(GetTickCount());
  const ULONGLONG duration = options.durationSeconds * 1000;
  std::string reason;
  while (reason.empty()) {
    DWORD wait = kIdleMs;
    if (duration != 0) {
      const ULONGLONG elapsed = clock.Advance(GetTickCount());
      if (elapsed >= duration) {
        reason = "after " + std::to_string(options.durationSeconds) + " s";
        break;
      }
      wait = static_cast<DWORD>(std::min<ULONGLONG>(wait, duration - elapsed));
    }
    const DWORD signalled = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, wait);
    if (signalled == WAIT_OBJECT_0 + dataIndex) {
      listener.TakeRecord();
    } else if (signalled == WAIT_OBJECT_0) {
      reason = g_interruptType == CTRL_BREAK_EVENT ? "Ctrl+Break" : "Ctrl+C";
    } else if (stop && signalled == WAIT_OBJECT_0 + 1) {
      reason = "stop event " + options.stopEvent;
    } else if (signalled == WAIT_TIMEOUT) {
      channel.LetWriterIn();
    } else {
      Report(WithErrorCode("cannot wait for the channel", GetLastError()));
      return ExitCode::kFailed;
    }
  }
  // The last writer before the stop may have put its string in meanwhile.
  if (WaitForSingleObject(channel.dataReady(), 0) == WAIT_OBJECT_0) listener.TakeRecord();
  Report("stopped (" + reason + ")");
  return ExitCode::kDone;
}

ExitCode SetStopEvent(const std::string& name) {
  rav::UniqueHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, rav::Utf8ToWide(name).c_str()));
  if (!event) {
    Report(WithErrorCode("no event " + name + ": no listener waits for it", GetLastError()));
    return ExitCode::kFailed;
  }
  if (!SetEvent(event.get())) {
    Report(WithErrorCode("cannot set the event " + name, GetLastError()));
    return ExitCode::kFailed;
  }
  return ExitCode::kDone;
}

}  // namespace tracer
