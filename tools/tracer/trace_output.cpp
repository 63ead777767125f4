#include "tools/tracer/trace_output.h"

#include <algorithm>

#include "common/wide_utf8.h"
#include "tools/tracer/core/trace_line.h"

namespace tracer {
namespace {

bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 0x10000 ? 0x10000 : static_cast<DWORD>(bytes.size());
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool WriteText(HANDLE handle, std::string_view utf8) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  if (utf8.empty()) return true;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    // A console shows UTF-16 whatever its code page.
    const std::wstring wide = rav::Utf8ToWide(utf8);
    for (std::size_t at = 0; at < wide.size();) {
      // Old consoles refuse very long writes: hand the text over in pieces.
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
      DWORD written = 0;
      if (!WriteConsoleW(handle, wide.data() + at, chunk, &written, nullptr) || written == 0) return false;
      at += written;
    }
    return true;
  }
  return WriteAll(handle, utf8);
}

std::string WithErrorCode(std::string text, DWORD error) {
  return text + " (error " + std::to_string(error) + ")";
}

void Report(std::string_view message) {
  std::string line = "ravtrace: ";
  line.append(message).append("\r\n");
  WriteText(GetStdHandle(STD_ERROR_HANDLE), line);
}

TracePrinter::TracePrinter(std::string filter)
    : filter_(std::move(filter)), standardOutput_(GetStdHandle(STD_OUTPUT_HANDLE)) {}

bool TracePrinter::OpenOutput(const std::string& path) {
  if (path.empty()) return true;
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end,
  // even when another program appends to the same file.
  file_.reset(CreateFileW(rav::Utf8ToWide(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file_.valid()) return true;
  Report(WithErrorCode("cannot open " + path, GetLastError()));
  return false;
}

void TracePrinter::Print(DWORD processId, std::string_view image, std::string_view text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const TraceTime time{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
  const std::string out = FormatTraceText(time, processId, image, text, filter_);
  if (out.empty()) return;
  WriteText(standardOutput_, out);
  if (file_) WriteAll(file_.get(), out);
}

}  // namespace tracer
