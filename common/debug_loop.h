#pragma once
// A debugger loop that collects the debug output (OutputDebugStringA/W) of
// processes this thread started with DEBUG_ONLY_THIS_PROCESS or
// DEBUG_PROCESS. Nothing else is done to them: exceptions go back to the
// program unhandled, except the loader's initial breakpoint.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace rav {

struct DebugString {
  DWORD processId = 0;
  std::string text;  // UTF-8, as written (line end included)
};

struct DebugLoopResult {
  bool timedOut = false;  // the root process was ended when time ran out
};

// Serves debug events until the root process and every debugged descendant
// have ended. `onString` sees each debug string as it arrives; `onProcess`
// sees each debugged process start, with its image path.
DebugLoopResult ServeDebugEvents(HANDLE rootProcess, std::chrono::milliseconds timeout,
                                 const std::function<void(const DebugString&)>& onString,
                                 const std::function<void(DWORD processId, const std::wstring& image)>& onProcess = {});

// The full path of a process's image; empty when it cannot be had.
std::wstring ProcessImagePath(HANDLE process);

}  // namespace rav
