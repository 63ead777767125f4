#include "testsupport/process_runner.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "common/child_handles.h"
#include "common/process_start.h"
#include "common/win_resources.h"
#include "testsupport/text.h"
#include "common/debug_loop.h"

namespace testsupport {
namespace {

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The inherited environment with the options' changes, as a block for
// CreateProcessW (with CREATE_UNICODE_ENVIRONMENT).
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

RunResult RunProgram(const RunOptions& options) {
  RunResult result;
  rav::ChildPipe output;
  rav::ChildPipe error;
  rav::ProcessStartW start;
  start.commandLine = options.commandLine;
  start.application = options.applicationName;
  start.directory = options.currentDirectory;
  start.environment = EnvironmentBlock(options);
  start.creationFlags = options.creationFlags;
  if (options.captureDebugOutput) start.creationFlags |= DEBUG_ONLY_THIS_PROCESS;
  start.inheritHandles = true;
  if (options.captureOutput) {
    output = rav::MakeChildPipe(rav::ParentEnd::kReads);
    error = rav::MakeChildPipe(rav::ParentEnd::kReads);
    start.standardHandles =
        rav::StandardHandles{GetStdHandle(STD_INPUT_HANDLE), output.childEnd.get(), error.childEnd.get()};
  }
  const rav::StartedProcess started =
      options.token != nullptr ? rav::StartProcessAsUserW(options.token, start) : rav::StartProcessW(start);
  if (!started.ok()) {
    result.startError = started.error();
    return result;
  }
  result.started = true;
  result.processId = started->processId();
  if (options.onStarted) options.onStarted(result.processId);
  const HANDLE process = started->process();
  // Only the child holds the writing ends now, so the readers see its end.
  output.childEnd.reset();
  error.childEnd.reset();
  std::atomic<bool> programEnded{false};
  std::thread outputReader;
  std::thread errorReader;
  if (options.captureOutput) {
    outputReader = DrainInto(output.parentEnd.get(), result.standardOutput, programEnded);
    errorReader = DrainInto(error.parentEnd.get(), result.standardError, programEnded);
  }

  if (options.captureDebugOutput) {
    const rav::DebugLoopResult loop =
        rav::ServeDebugEvents(process, options.timeout, [&result, &options](const rav::DebugString& message) {
          result.debugOutput.push_back({message.processId, message.text});
          if (options.onDebugOutput) options.onDebugOutput(message.text);
        });
    result.timedOut = loop.timedOut;
  } else if (started->Wait(static_cast<DWORD>(options.timeout.count())) == WAIT_TIMEOUT) {
    result.timedOut = true;
    TerminateProcess(process, 0xDEAD);
  }
  started->Wait(INFINITE);
  started->ExitCode(result.exitCode);
  programEnded = true;
  if (outputReader.joinable()) outputReader.join();
  if (errorReader.joinable()) errorReader.join();
  return result;
}

DWORD ChildProcessId(DWORD parent, const wchar_t* name) {
  rav::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == parent && SameName(entry.szExeFile, name)) return entry.th32ProcessID;
  }
  return 0;
}

}  // namespace testsupport
