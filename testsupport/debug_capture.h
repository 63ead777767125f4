#pragma once
// Capturing OutputDebugString output.
//
// In this process: OutputDebugStringA/W raise DBG_PRINTEXCEPTION_C (and, on
// Windows 10 and later, DBG_PRINTEXCEPTION_WIDE_C) before anything else sees
// the text; a vectored handler takes it there and swallows it. Nothing is
// shared with other processes, so tests running side by side do not mix.
// Child processes are captured by running them under a debugger loop
// (process_runner.h).
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

struct DebugMessage {
  DWORD processId = 0;
  std::string text;  // UTF-8; as written, line ends included
};

class InProcessDebugCapture {
 public:
  InProcessDebugCapture();
  ~InProcessDebugCapture();
  InProcessDebugCapture(const InProcessDebugCapture&) = delete;
  InProcessDebugCapture& operator=(const InProcessDebugCapture&) = delete;

  std::vector<DebugMessage> Messages() const;
  // Each message's text with its trailing CR LF (or LF) removed.
  std::vector<std::string> Lines() const;
  void Clear();

 private:
  static LONG CALLBACK Handler(EXCEPTION_POINTERS* exception);
  void Add(std::string text);

  void* handle_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<DebugMessage> messages_;
};

// Each message's text without its line end.
std::vector<std::string> MessageLines(const std::vector<DebugMessage>& messages);

}  // namespace testsupport
