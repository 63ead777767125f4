#pragma once
// Where ravtrace's text goes: standard output and error (UTF-8 bytes, or
// UTF-16 through WriteConsoleW when the handle is a console) and the
// --output file. Both run and listen print through TracePrinter.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace tracer {


// Writes UTF-8 text as it is to a file or pipe, as UTF-16 to a console.
// False when the handle takes nothing (none, closed, or a failed write).
bool WriteText(HANDLE handle, std::string_view utf8);

// "TEXT (error N)", for messages about a failed system call.
std::string WithErrorCode(std::string text, DWORD error);

// One message on standard error: "ravtrace: " + message + CR LF.
void Report(std::string_view message);

class TracePrinter {
 public:
  explicit TracePrinter(std::string filter);
  TracePrinter(const TracePrinter&) = delete;
  TracePrinter& operator=(const TracePrinter&) = delete;

  // Opens `path` (UTF-8; empty: none) for appending every printed line as
  // well, made when missing, readable and writable by others meanwhile.
  // False, after reporting why, when it cannot be opened.
  bool OpenOutput(const std::string& path);

  // Prints one debug string (UTF-8) as its lines, stamped with the local
  // time now, the process ID and the image name; lines the filter rejects
  // are left out. Each string reaches standard output and the file whole,
  // with no buffering, so a reader sees it at once.
  void Print(DWORD processId, std::string_view image, std::string_view text);

 private:
  std::string filter_;
  HANDLE standardOutput_;  // not ours to close
  rav::UniqueHandle file_;
};

}  // namespace tracer
