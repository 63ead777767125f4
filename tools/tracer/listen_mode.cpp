#include "tools/tracer/listen_mode.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "common/ansi_text.h"
#include "common/core/elapsed_ticks.h"
#include "common/wide_utf8.h"
#include "common/win_resources.h"
#include "tools/tracer/dbwin_channel.h"
#include "tools/tracer/global_channel_right.h"
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

// Both listened channels share the printer and the process names.
class Listener {
 public:
  explicit Listener(TracePrinter& printer) : printer_(printer) {}

  // Prints the record a writer has put into the channel's buffer.
  void TakeRecord(DbwinChannel& channel) {
    const DbwinRecord record = channel.Read();
    // Looked up before the writer may go on: a writer with more to say
    // waits for its turn, so it is still there to be named.
    const std::string image = names_.NameOf(record.processId);
    channel.LetWriterIn();
    printer_.Print(record.processId, image, rav::AnsiToUtf8(record.text));
  }

 private:
  TracePrinter& printer_;
  ProcessNames names_;
};

// The channels the options name, made; none (after reporting why) when one
// cannot be. In session 0 the session's channel is the machine-wide one:
// asked for both, it is listened to once.
std::vector<std::unique_ptr<DbwinChannel>> OpenChannels(const TraceOptions& options) {
  std::vector<std::unique_ptr<DbwinChannel>> channels;
  if (options.globalChannel) {
    const std::string missing = MissingGlobalChannelRight();
    if (!missing.empty()) {
      Report(missing);
      return {};
    }
    channels.push_back(std::make_unique<DbwinChannel>(L"Global\\"));
  }
  if (options.sessionChannel && !(options.globalChannel && RunsInSessionZero())) {
    channels.push_back(std::make_unique<DbwinChannel>(L""));
  }
  for (const std::unique_ptr<DbwinChannel>& channel : channels) {
    std::string problem;
    if (channel->Open(problem) != DbwinChannel::OpenResult::kOpen) {
      Report(problem);
      return {};
    }
  }
  return channels;
}

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

  const std::vector<std::unique_ptr<DbwinChannel>> channels = OpenChannels(options);
  if (channels.empty()) return ExitCode::kFailed;
  Listener listener(printer);
  for (const std::unique_ptr<DbwinChannel>& channel : channels) channel->LetWriterIn();
  if (ready) SetEvent(ready.get());
  Report("listening");

  std::vector<HANDLE> waits = {interrupt.get()};
  if (stop) waits.push_back(stop.get());
  // Last: when a stop and a record come together, the stop is seen first
  // and the record is still taken below; a busy channel cannot hold off a
  // stop.
  const DWORD firstData = static_cast<DWORD>(waits.size());
  for (const std::unique_ptr<DbwinChannel>& channel : channels) waits.push_back(channel->dataReady());
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
    if (signalled >= WAIT_OBJECT_0 + firstData && signalled < WAIT_OBJECT_0 + waits.size()) {
      // The wait answers the first signalled channel: the other one's
      // record is taken now too, so a flood on one cannot starve the other.
      const std::size_t first = signalled - WAIT_OBJECT_0 - firstData;
      listener.TakeRecord(*channels[first]);
      for (std::size_t i = 0; i < channels.size(); ++i) {
        if (i != first && WaitForSingleObject(channels[i]->dataReady(), 0) == WAIT_OBJECT_0) {
          listener.TakeRecord(*channels[i]);
        }
      }
    } else if (signalled == WAIT_OBJECT_0) {
      reason = g_interruptType == CTRL_BREAK_EVENT ? "Ctrl+Break" : "Ctrl+C";
    } else if (stop && signalled == WAIT_OBJECT_0 + 1) {
      reason = "stop event " + options.stopEvent;
    } else if (signalled == WAIT_TIMEOUT) {
      for (const std::unique_ptr<DbwinChannel>& channel : channels) channel->LetWriterIn();
    } else {
      Report(WithErrorCode("cannot wait for the channel", GetLastError()));
      return ExitCode::kFailed;
    }
  }
  // The last writer before the stop may have put its string in meanwhile.
  for (const std::unique_ptr<DbwinChannel>& channel : channels) {
    if (WaitForSingleObject(channel->dataReady(), 0) == WAIT_OBJECT_0) listener.TakeRecord(*channel);
  }
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
