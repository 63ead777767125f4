#include "uninstaller/services/pipe_reader.h"

#include "uninstaller/services/utf_convert.h"

namespace ravuninst {

void PipeReader::Attach(HANDLE handle) {
  handle_.reset(handle);
  buffer_.Reset();
}

int PipeReader::Fill() {
  const std::span<char> room = buffer_.PrepareRead();
  DWORD got = 0;
  if (ReadFile(handle_.get(), room.data(), static_cast<DWORD>(room.size()), &got, nullptr)) {
    if (got == 0) return kEnded;
    buffer_.CommitRead(got);
    return kBytesRead;
  }
  switch (GetLastError()) {
    case ERROR_BROKEN_PIPE:
      return kEnded;
    case ERROR_NO_DATA:
      return kNothingYet;
    default:
      return kError;
  }
}

int PipeReader::ReadLine(std::u16string& line) {
  if (!handle_) return kError;
  std::string bytes;
  while (!buffer_.TakeLine(bytes)) {
    const int filled = Fill();
    if (filled != kBytesRead) return filled;
  }
  Utf8ToUtf16(bytes, line);  // a bad byte cuts the line there
  return kLine;
}

}  // namespace ravuninst
