#include "uninstaller/services/pipe_reader.h"

#include <string>

#include "common/core/utf_text.h"
#include "uninstaller/services/uninstall_log.h"

namespace ravuninst {

void PipeReader::Attach(HANDLE handle, const wchar_t* channel) {
  handle_.reset(handle);
  buffer_.Reset();
  channel_ = channel;
  endLogged_ = false;
}

std::optional<LineRead> PipeReader::Fill() {
  const std::span<char> room = buffer_.PrepareRead();
  if (room.empty()) return LineRead::kNothingYet;  // lines to take first; a read of 0 bytes would look like the end
  DWORD got = 0;
  if (ReadFile(handle_.get(), room.data(), static_cast<DWORD>(room.size()), &got, nullptr)) {
    if (got == 0) return LineRead::kEnded;
    buffer_.CommitRead(got);
    return std::nullopt;
  }
  switch (GetLastError()) {
    case ERROR_BROKEN_PIPE:
      return LineRead::kEnded;
    case ERROR_NO_DATA:
      return LineRead::kNothingYet;
    default:
      return LineRead::kError;
  }
}

void PipeReader::LogDropped(std::uint64_t bytes, const wchar_t* when) {
  // The count as text: the log's formatter need not know 64-bit numbers.
  const std::string digits = std::to_string(bytes);
  const std::wstring count(digits.begin(), digits.end());
  LogWrite(2, L"PipeReader: %ls: %ls bytes of a line longer than %lu bytes dropped%ls\n", channel_, count.c_str(),
           static_cast<unsigned long>(LineBuffer::kMaxLine), when);
}

LineRead PipeReader::ReadLine(std::u16string& line) {
  tookInput_ = false;
  if (!handle_) return LineRead::kError;
  std::string bytes;
  int reads = 0;
  while (!buffer_.TakeLine(bytes)) {
    if (reads++ == kReadsPerCall) return LineRead::kNothingYet;  // more may wait: the caller comes back
    const std::optional<LineRead> stopped = Fill();
    if (const std::uint64_t dropped = buffer_.TakeDroppedBytes()) LogDropped(dropped, L"");
    if (stopped) {
      if (*stopped == LineRead::kEnded && buffer_.droppedFromOpenLine() != 0 && !endLogged_) {
        endLogged_ = true;
        LogDropped(buffer_.droppedFromOpenLine(), L" (the pipe ended before its line feed)");
      }
      return *stopped;
    }
    tookInput_ = true;
  }
  tookInput_ = true;
  rav::Utf8ToUtf16(bytes, line);  // a bad byte cuts the line there
  return LineRead::kLine;
}

}  // namespace ravuninst
