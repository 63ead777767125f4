// ravtrace: shows what programs write to the debug-output channel, the only
// place the launcher, the uninstaller and the co-installer report their steps.
//
//   ravtrace run [--filter TEXT] [--output FILE] [--timeout SECONDS] [--children] -- PROGRAM [ARGUMENTS...]
//
// `run` starts the program as its debugger, prints every line it writes and
// ends with the program's exit code, which it also prints to standard error. --children follows the programs it
// starts too (same architecture only). --filter keeps lines starting with
// TEXT; --output appends the lines to FILE as well (UTF-8).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "common/win_resources.h"
#include "tools/tracer/debug_loop.h"
#include "tools/tracer/trace_line.h"

namespace {

constexpr wchar_t kUsage[] =
    L"usage: ravtrace run [--filter TEXT] [--output FILE] [--timeout SECONDS] [--children] -- PROGRAM [ARGUMENTS...]\n";

struct Options {
  std::string filter;
  std::wstring output;
  unsigned long timeoutSeconds = 0;  // 0: none
  bool children = false;
  std::wstring commandLine;
};

std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

bool ParseOptions(int argc, wchar_t** argv, int first, Options& options) {
  int i = first;
  for (; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) return false;
    if (argument == L"--filter") {
      options.filter = tracer::WideToUtf8(argv[++i]);
    } else if (argument == L"--output") {
      options.output = argv[++i];
    } else if (argument == L"--timeout") {
      options.timeoutSeconds = std::wcstoul(argv[++i], nullptr, 10);
    } else if (argument == L"--children") {
      options.children = true;
    } else {
      return false;
    }
  }
  for (; i < argc; ++i) {
    if (!options.commandLine.empty()) options.commandLine += L' ';
    options.commandLine += Quote(argv[i]);
  }
  return !options.commandLine.empty();
}

class TracePrinter {
 public:
  explicit TracePrinter(const Options& options) : filter_(options.filter) {
    if (!options.output.empty()) file_ = _wfopen(options.output.c_str(), L"ab");
  }
  ~TracePrinter() {
    if (file_ != nullptr) std::fclose(file_);
  }
  TracePrinter(const TracePrinter&) = delete;
  TracePrinter& operator=(const TracePrinter&) = delete;

  void Name(DWORD processId, const std::wstring& image) {
    images_[processId] = std::string(tracer::BaseName(tracer::WideToUtf8(image)));
  }

  void Print(DWORD processId, const std::string& text) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const tracer::TraceTime time{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
    const auto image = images_.find(processId);
    for (const std::string& line : tracer::SplitDebugText(text)) {
      if (!tracer::PassesFilter(line, filter_)) continue;
      const std::string out =
          tracer::FormatTraceLine(time, processId, image != images_.end() ? image->second : "", line) + "\n";
      std::fwrite(out.data(), 1, out.size(), stdout);
      if (file_ != nullptr) {
        std::fwrite(out.data(), 1, out.size(), file_);
        std::fflush(file_);
      }
    }
    std::fflush(stdout);
  }

 private:
  std::string filter_;
  FILE* file_ = nullptr;
  std::map<DWORD, std::string> images_;
};

int Run(const Options& options) {
  TracePrinter printer(options);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  std::wstring commandLine = options.commandLine;
  const DWORD flags = options.children ? DEBUG_PROCESS : DEBUG_ONLY_THIS_PROCESS;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup,
                      &started)) {
    std::fwprintf(stderr, L"ravtrace: cannot start %ls (error %lu)\n", options.commandLine.c_str(), GetLastError());
    return 1;
  }
  rav::UniqueHandle process(started.hProcess);
  rav::UniqueHandle thread(started.hThread);
  const auto timeout = std::chrono::milliseconds(
      options.timeoutSeconds == 0 ? INFINITE : static_cast<unsigned long long>(options.timeoutSeconds) * 1000);
  const tracer::DebugLoopResult loop = tracer::ServeDebugEvents(
      process.get(), timeout, [&printer](const tracer::DebugString& s) { printer.Print(s.processId, s.text); },
      [&printer](DWORD processId, const std::wstring& image) { printer.Name(processId, image); });
  DWORD exitCode = 0;
  GetExitCodeProcess(process.get(), &exitCode);
  if (loop.timedOut) {
    std::fwprintf(stderr, L"ravtrace: %ls was ended after %lu s\n", options.commandLine.c_str(), options.timeoutSeconds);
  }
  // Exit codes wider than 8 bits do not survive every shell; say it in full.
  std::fwprintf(stderr, L"ravtrace: exit code %lu (0x%08lx)\n", exitCode, exitCode);
  return static_cast<int>(exitCode);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (argc >= 2 && std::wstring(argv[1]) == L"run" && ParseOptions(argc, argv, 2, options)) return Run(options);
  std::fputws(kUsage, stderr);
  return 2;
}
