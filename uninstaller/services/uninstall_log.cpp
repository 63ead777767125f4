#include "uninstaller/services/uninstall_log.h"

#include <fcntl.h>
#include <io.h>

#include <cstdarg>
#include <ctime>
#include <cwchar>
#include <vector>

#include "common/debug_output.h"
#include "common/wide_text.h"
#include "uninstaller/services/core/basic_exception.h"
#include "uninstaller/services/log_file.h"
#include "uninstaller/services/module_path.h"
#include "common/core/utf_text.h"

namespace ravuninst {
namespace {

constexpr std::size_t kMessageLimit = 2048;

// The message as printf-style text, cut at 2,048 characters. A cut message
// keeps the line end its format asked for, so the next line starts on a
// line of its own.
std::wstring FormatMessage(const wchar_t* format, va_list args) {
  std::vector<wchar_t> buffer(kMessageLimit + 1);
  std::wstring message;
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    const int written = std::vswprintf(buffer.data(), buffer.size(), format, copy);
    va_end(copy);
    // Some runtimes answer an overflow with -1, others with the full length.
    if (written >= 0 && static_cast<std::size_t>(written) < buffer.size()) {
      message.assign(buffer.data(), static_cast<std::size_t>(written));
      break;
    }
    // Too long for the buffer (or a broken format): try larger, then give up.
    if (buffer.size() >= (1u << 20)) return std::wstring(buffer.data(), wcsnlen(buffer.data(), kMessageLimit));
    buffer.assign(buffer.size() * 8, L'\0');
  }
  if (message.size() > kMessageLimit) {
    const bool endedLine = message.back() == L'\n';
    message.resize(kMessageLimit);
    if (endedLine) message.back() = L'\n';
  }
  return message;
}

// Why the log file is not written, as a trace line (the log itself cannot
// say it).
void TraceNoLogFile(const std::u16string& path, const LogFileOpen& opened) {
  std::u16string line = u"LogOpen: " + path + u" ";
  if (opened.error != 0) {
    const std::string error = std::to_string(opened.error);
    line += u"cannot be opened (error " + std::u16string(error.begin(), error.end()) + u")";
  } else {
    line += LogFileRefusal(opened.verdict);
  }
  line += u"; no log is written";
  rav::OutputDebugTraceText(rav::as_wcstr(line));
}

// The time stamp "HH:MM:SS: " of the current local time, or empty.
std::wstring LogTimeStamp() {
  const __time64_t now = _time64(nullptr);
  std::tm local;
  if (_localtime64_s(&local, &now) != 0) return {};
  wchar_t stamp[128];
  const std::size_t length = std::wcsftime(stamp, 128, L"%H:%M:%S: ", &local);
  return std::wstring(stamp, length);
}

}  // namespace

UninstallLog::UninstallLog() : stream_(stderr) {}

UninstallLog::~UninstallLog() {
  if (stream_ != nullptr && stream_ != stderr) std::fclose(stream_);
}

int UninstallLog::Write(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = WriteV(format, args);
  va_end(args);
  return written;
}

int UninstallLog::WriteV(const wchar_t* format, va_list args) {
  const std::wstring line = LogTimeStamp() + FormatMessage(format, args);
  // A line that is not valid UTF-16 is still written, its stray halves
  // replaced, rather than lost or allowed to end the program.
  const std::string bytes = rav::Utf16ToUtf8(std::u16string_view(rav::as_u16cstr(line.data()), line.size()));
  if (stream_ != nullptr) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream_);
    std::fflush(stream_);
  }
  return static_cast<int>(bytes.size());
}

int UninstallLog::Open(const std::u16string& path) {
  stream_ = nullptr;  // on failure: no stream at all, not even standard error
  LogFileOpen opened = OpenLogFile(path);
  if (!opened.file) {
    TraceNoLogFile(path, opened);
    return -1;
  }
  // The stream takes the handle over: closing it closes the handle.
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(opened.file.get()), _O_APPEND | _O_TEXT);
  if (descriptor == -1) return -1;
  opened.file.release();
  stream_ = _wfdopen(descriptor, L"at");
  if (stream_ == nullptr) {
    _close(descriptor);
    return -1;
  }
  Header(L"Start");
  return 0;
}

void UninstallLog::Header(const wchar_t* event) {
  std::u16string program;
  try {
    program = GetModulePath(nullptr);
  } catch (const BasicException&) {
    // Without its own path the program still logs the event.
  }
  Write(L"%ls -- \"%ls\", Version %ls, PID %lu\n", event, rav::as_wcstr(program), kLogVersionText,
        GetCurrentProcessId());
}

void UninstallLog::Close() {
  if (stream_ == nullptr) return;
  Header(L"End");
  if (stream_ != stderr) std::fclose(stream_);
  stream_ = nullptr;
}

HANDLE UninstallLog::StreamHandle() const {
  if (stream_ == nullptr) return INVALID_HANDLE_VALUE;
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream_)));
}

UninstallLog& TheUninstallLog() {
  static UninstallLog log;
  return log;
}

namespace {

// Made at static start and finished at exit, after the entry point has
// returned. The writer it starts is finished after it: LogClose still has it.
struct LogForTheProcess {
  LogForTheProcess() { LogHeader(L"Start"); }
  ~LogForTheProcess() { LogClose(); }
} logForTheProcess;

}  // namespace

int LogWrite(int, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = TheUninstallLog().WriteV(format, args);
  va_end(args);
  return written;
}

int LogOpen(const std::u16string& path) { return TheUninstallLog().Open(path); }
void LogHeader(const wchar_t* event) { TheUninstallLog().Header(event); }
void LogClose() { TheUninstallLog().Close(); }
HANDLE LogStreamHandle() { return TheUninstallLog().StreamHandle(); }

}  // namespace ravuninst
