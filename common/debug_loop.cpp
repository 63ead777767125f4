#include "common/debug_loop.h"

// Version 1: GetModuleFileNameExW from psapi.dll, which Windows XP has,
// rather than its kernel32 alias of Windows 7.
#define PSAPI_VERSION 1
#include <psapi.h>

#include <algorithm>
#include <map>
#include <vector>

#include "common/ansi_text.h"
#include "common/core/elapsed_ticks.h"
#include "common/wide_utf8.h"

namespace rav {
namespace {

constexpr DWORD kWow64Breakpoint = 0x4000001F;  // STATUS_WX86_BREAKPOINT
constexpr ULONGLONG kLongestWaitMs = 3600 * 1000;

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  const std::size_t length = info.nDebugStringLength;  // characters, NUL included
  if (length == 0 || process == nullptr) return {};
  SIZE_T got = 0;
  if (info.fUnicode) {
    std::wstring text(length, L'\0');
    ReadProcessMemory(process, info.lpDebugStringData, text.data(), length * sizeof(wchar_t), &got);
    text.resize(wcsnlen(text.c_str(), got / sizeof(wchar_t)));
    return WideToUtf8(text);
  }
  std::string text(length, '\0');
  ReadProcessMemory(process, info.lpDebugStringData, text.data(), length, &got);
  text.resize(strnlen(text.c_str(), got));
  return AnsiToUtf8(text);
}

}  // namespace

std::wstring ProcessImagePath(HANDLE process) {
  if (process == nullptr) return {};
  // Windows Vista and later read any process's path, across 32 and 64 bits,
  // with limited query access; Windows XP lacks the call, and there the
  // module path serves (query and read access).
  using QueryFullFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
  static const auto queryFull = reinterpret_cast<QueryFullFunction>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
  std::vector<wchar_t> path(32768);
  DWORD size = static_cast<DWORD>(path.size());
  if (queryFull != nullptr) {
    if (!queryFull(process, 0, path.data(), &size)) return {};
  } else {
    size = GetModuleFileNameExW(process, nullptr, path.data(), size);
    if (size == 0 || size >= path.size()) return {};
  }
  return std::wstring(path.data(), size);
}

DebugLoopResult ServeDebugEvents(HANDLE rootProcess, std::chrono::milliseconds timeout,
                                 const std::function<void(const DebugString&)>& onString,
                                 const std::function<void(DWORD, const std::wstring&)>& onProcess) {
  DebugLoopResult result;
  // Process handles from the debug events; the system closes them.
  std::map<DWORD, HANDLE> processes;
  bool started = false;
  // A timeout too long to reach (milliseconds::max() for one) means none.
  ElapsedTicks clock(GetTickCount());
  const ULONGLONG limit = timeout.count() < 0 ? 0 : static_cast<ULONGLONG>(timeout.count());
  while (!started || !processes.empty()) {
    DEBUG_EVENT event = {};
    const ULONGLONG elapsed = clock.Advance(GetTickCount());
    // Long waits are made in steps of at most an hour, so that two readings
    // of the 32-bit tick count are never a whole wrap apart.
    const DWORD wait = result.timedOut      ? 1000
                       : elapsed >= limit ? 0
                                          : static_cast<DWORD>(std::min<ULONGLONG>(limit - elapsed, kLongestWaitMs));
    if (!WaitForDebugEvent(&event, wait)) {
      if (!result.timedOut && clock.Advance(GetTickCount()) >= limit) {
        result.timedOut = true;
        for (const auto& [id, process] : processes) TerminateProcess(process, 0xDEAD);
        if (!started) TerminateProcess(rootProcess, 0xDEAD);
      }
      continue;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        started = true;
        processes[event.dwProcessId] = event.u.CreateProcessInfo.hProcess;
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        if (onProcess) onProcess(event.dwProcessId, ProcessImagePath(event.u.CreateProcessInfo.hProcess));
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        processes.erase(event.dwProcessId);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case OUTPUT_DEBUG_STRING_EVENT: {
        const auto found = processes.find(event.dwProcessId);
        const HANDLE process = found != processes.end() ? found->second : nullptr;
        onString({event.dwProcessId, ReadDebugString(process, event.u.DebugString)});
        break;
      }
      case EXCEPTION_DEBUG_EVENT: {
        const DWORD code = event.u.Exception.ExceptionRecord.ExceptionCode;
        if (code != EXCEPTION_BREAKPOINT && code != kWow64Breakpoint) continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        break;
      }
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
  }
  return result;
}

}  // namespace rav
