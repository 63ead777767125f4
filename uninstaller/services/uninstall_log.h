#pragma once
// The uninstall log: time-stamped UTF-8 lines, appended to ravwl.log in the
// temporary directory once the status channel opens it, to standard error
// before that. One process-wide writer: LogHeader writes its "Start" header
// before the program's entry point runs, LogClose its "End" header after the
// entry point has returned.
#include <windows.h>

#include <cstdio>
#include <string>

namespace ravuninst {

inline constexpr wchar_t kLogVersionText[] = L"6.31.165.2 (r465353)";

class UninstallLog {
 public:
  UninstallLog();   // current stream: standard error
  ~UninstallLog();  // closes a log file that is still open, writing nothing
  UninstallLog(const UninstallLog&) = delete;
  UninstallLog& operator=(const UninstallLog&) = delete;

  // Formats, stamps, converts and writes one line; flushes it at once.
  // Returns the number of UTF-8 bytes of the line.
  int WriteV(const wchar_t* format, va_list args);
  int Write(const wchar_t* format, ...);
  int Open(const std::u16string& path);
  void Header(const wchar_t* event);
  void Close();
  HANDLE StreamHandle() const;

 private:
  FILE* stream_;
};

UninstallLog& TheUninstallLog();

// `level` is 2 at every call site and not looked at. Formats are the
// program's own literals; wide strings go in as %ls.
int LogWrite(int level, const wchar_t* format, ...);
// Opens `path` for appending ("at") and makes it the current stream, with a
// Start header. 0 on success; -1 and no stream at all on failure, also when
// the name is a link or junction, a directory or device, or a file with a
// second name (OpenLogFile): the trace says why.
int LogOpen(const std::u16string& path);
void LogHeader(const wchar_t* event);
// Run at process exit: an "End" header to the current stream, which is then
// closed unless it is standard error.
void LogClose();
// The system handle under the current stream (for the engine's standard error).
HANDLE LogStreamHandle();

}  // namespace ravuninst
