#pragma once
// Running the real ravtrace.exe and debug_writer.exe from the tests, and
// reading ravtrace's lines back.
#include <windows.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "common/win_resources.h"
#include "testsupport/process_runner.h"

namespace tracer_test {

// One printed line: "HH:MM:SS.mmm [pid] image: text".
struct PrintedLine {
  int millisecondOfDay = 0;
  DWORD processId = 0;
  std::string image;
  std::string text;
};

// Every line of ravtrace's standard output; each must be in the format and
// end with CR LF, or the test fails.
std::vector<PrintedLine> ParsePrinted(const std::string& output);
// The texts of the lines one process wrote, in order.
std::vector<std::string> TextsOf(const std::vector<PrintedLine>& lines, DWORD processId);
// The process ID a writer's "pid" action wrote ("pid=N"), or 0.
DWORD WriterPid(const std::vector<PrintedLine>& lines);

std::wstring RavtracePath();
std::wstring WriterPath();
// The 64-bit debug_writer of the x86_64 tree beside this one, when it was
// built; empty otherwise.
std::wstring Writer64Path();

int MillisecondOfDayNow();

// ravtrace with these arguments; its standard output and error captured.
testsupport::RunResult RunRavtrace(const std::wstring& arguments,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(120));
// debug_writer with these actions, not under a debugger (its strings go to
// the system-wide channel).
testsupport::RunResult RunWriter(const std::wstring& actions, const std::wstring& program = WriterPath());

// A name for a named event that no other test run uses.
std::wstring UniqueEventName(const wchar_t* what);

// ravtrace listen, started with a ready event and a stop event that the test
// made. The constructor returns once ravtrace listens (or has ended:
// ready() says which). Stop() sets the stop event and waits for ravtrace to
// end; the destructor does the same when the test did not.
class Listener {
 public:
  explicit Listener(const std::wstring& extraArguments = L"", DWORD creationFlags = 0);
  ~Listener();
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  bool ready() const { return ready_; }
  DWORD processId() const { return processId_; }
  const std::wstring& stopEventName() const { return stopName_; }
  testsupport::RunResult Stop();
  // Waits for ravtrace to end by itself.
  testsupport::RunResult Wait();

 private:
  std::wstring stopName_;
  rav::UniqueHandle readyEvent_;
  rav::UniqueHandle stopEvent_;
  std::future<testsupport::RunResult> run_;
  DWORD processId_ = 0;
  bool ready_ = false;
};

}  // namespace tracer_test
