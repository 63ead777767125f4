#include "testsupport/process_runner.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "common/win_resources.h"
#include "testsupport/text.h"
#include "tools/tracer/debug_loop.h"

namespace testsupport {
namespace {

using rav::UniqueHandle;

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The inherited environment with the options' changes, as a block for
// CreateProcessW with CREATE_UNICODE_ENVIRONMENT.
std::wstring EnvironmentBlock(const RunOptions& options) {
  std::vector<std::wstring> entries;
  wchar_t* inherited = GetEnvironmentStringsW();
  for (const wchar_t* p = inherited; *p != L'\0'; p += wcslen(p) + 1) entries.emplace_back(p);
  FreeEnvironmentStringsW(inherited);

  for (const auto& [name, value] : options.environment) {
    std::erase_if(entries, [&name](const std::wstring& entry) {
      const std::size_t equals = entry.find(L'=', 1);  // "=C:=C:\x" entries start with '='
      return equals != std::wstring::npos && SameName(std::wstring_view(entry).substr(0, equals), name);
    });
    if (value) entries.push_back(name + L"=" + *value);
  }
  std::wstring block;
  for (const std::wstring& entry : entries) block.append(entry).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

struct OutputPipe {
  UniqueHandle read;
  UniqueHandle write;  // inheritable, for the child
};

OutputPipe MakeOutputPipe() {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  OutputPipe pipe;
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (CreatePipe(&read, &write, &inheritable, 0)) {
    pipe.read.reset(read);
    pipe.write.reset(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  }
  return pipe;
}

// Reads the pipe until it ends, or until the program has exited and nothing
// more is waiting: a process it started (the desktop process, say) may keep
// an inherited copy of the writing end open for much longer.
std::thread DrainInto(HANDLE pipe, std::string& sink, const std::atomic<bool>& programEnded) {
  return std::thread([pipe, &sink, &programEnded] {
    char buffer[4096];
    for (;;) {
      DWORD available = 0;
      if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return;  // ended
      if (available == 0) {
        if (programEnded) return;
        Sleep(5);
        continue;
      }
      DWORD got = 0;
      if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) || got == 0) return;
      sink.append(buffer, got);
    }
  });
}

}  // namespace

std::wstring QuoteArgument(std::wstring_view argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring_view::npos) {
    return std::wstring(argument);
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

RunResult RunProgram(const RunOptions& options) {
  RunResult result;
  std::wstring environment = EnvironmentBlock(options);
  std::wstring commandLine = options.commandLine;

  OutputPipe output;
  OutputPipe error;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (options.captureOutput) {
    output = MakeOutputPipe();
    error = MakeOutputPipe();
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output.write.get();
    startup.hStdError = error.write.get();
  }

  DWORD flags = options.creationFlags | CREATE_UNICODE_ENVIRONMENT;
  if (options.captureDebugOutput) flags |= DEBUG_ONLY_THIS_PROCESS;
  const wchar_t* application = options.applicationName.empty() ? nullptr : options.applicationName.c_str();
  const wchar_t* directory = options.currentDirectory.empty() ? nullptr : options.currentDirectory.c_str();
  PROCESS_INFORMATION started = {};
  BOOL ok;
  if (options.token != nullptr) {
    ok = CreateProcessAsUserW(options.token, application, commandLine.data(), nullptr, nullptr, TRUE, flags,
                              environment.data(), directory, &startup, &started);
  } else {
    ok = CreateProcessW(application, commandLine.data(), nullptr, nullptr, TRUE, flags, environment.data(),
                        directory, &startup, &started);
  }
  if (!ok) {
    result.startError = GetLastError();
    return result;
  }
  result.started = true;
  result.processId = started.dwProcessId;
  if (options.onStarted) options.onStarted(started.dwProcessId);
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  // Only the child holds the writing ends now, so the readers see its end.
  output.write.reset();
  error.write.reset();
  std::atomic<bool> programEnded{false};
  std::thread outputReader;
  std::thread errorReader;
  if (options.captureOutput) {
    outputReader = DrainInto(output.read.get(), result.standardOutput, programEnded);
    errorReader = DrainInto(error.read.get(), result.standardError, programEnded);
  }

  if (options.captureDebugOutput) {
    const tracer::DebugLoopResult loop =
        tracer::ServeDebugEvents(process.get(), options.timeout, [&result](const tracer::DebugString& message) {
          result.debugOutput.push_back({message.processId, message.text});
        });
    result.timedOut = loop.timedOut;
  } else if (WaitForSingleObject(process.get(), static_cast<DWORD>(options.timeout.count())) == WAIT_TIMEOUT) {
    result.timedOut = true;
    TerminateProcess(process.get(), 0xDEAD);
  }
  WaitForSingleObject(process.get(), INFINITE);
  GetExitCodeProcess(process.get(), &result.exitCode);
  programEnded = true;
  if (outputReader.joinable()) outputReader.join();
  if (errorReader.joinable()) errorReader.join();
  return result;
}

}  // namespace testsupport
