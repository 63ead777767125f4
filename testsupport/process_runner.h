#pragma once
// Running a program from a test: its exit code, its standard output and, when
// asked, the debug output it writes (the test acts as its debugger).
#include <windows.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/core/argument_quote.h"
#include "testsupport/debug_capture.h"

namespace testsupport {

struct RunOptions {
  std::wstring commandLine;          // program first, quoted as needed (rav::QuoteArgument)
  std::wstring applicationName;      // optional
  std::wstring currentDirectory;     // optional: the test's own otherwise
  // Changes to the inherited environment: a value sets, nothing removes.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment;
  bool captureDebugOutput = true;    // run under the test's debugger loop
  bool captureOutput = false;        // standard output and error into the result
  std::chrono::milliseconds timeout{60000};  // then the program is ended
  HANDLE token = nullptr;            // start with CreateProcessAsUserW
  DWORD creationFlags = 0;
  // Called with the process ID as soon as the program has started (on the
  // runner's thread), so a test can look for its windows.
  std::function<void(DWORD)> onStarted;
  // Called with each debug message (with captureDebugOutput, on the
  // runner's thread) while the program waits in OutputDebugString: a test
  // can act at a point of the program's run it names.
  std::function<void(const std::string&)> onDebugOutput;
};

struct RunResult {
  bool started = false;
  DWORD startError = 0;
  DWORD exitCode = 0;
  DWORD processId = 0;
  bool timedOut = false;
  std::vector<DebugMessage> debugOutput;
  std::string standardOutput;
  std::string standardError;

  std::vector<std::string> DebugLines() const { return MessageLines(debugOutput); }
};

RunResult RunProgram(const RunOptions& options);

// The process that `parent` started from the image `name` (a file name,
// letter case aside), 0 while there is none.
DWORD ChildProcessId(DWORD parent, const wchar_t* name);

// The same on a thread of its own, so the test can work with the program's
// windows while it runs.
inline std::future<RunResult> RunProgramAsync(RunOptions options) {
  return std::async(std::launch::async, [options = std::move(options)] { return RunProgram(options); });
}

}  // namespace testsupport
