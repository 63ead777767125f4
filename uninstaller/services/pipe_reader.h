#pragma once
// Lines from one non-blocking pipe: reads of at most 16 bytes into a growing
// buffer, handed out as UTF-16 text once their LF has arrived.
#include <windows.h>

#include <string>

#include "common/win_resources.h"
#include "uninstaller/services/line_buffer.h"

namespace ravuninst {

class PipeReader {
 public:
  enum Result { kLine = 0, kNothingYet = 1, kEnded = 2, kError = 3 };
  static constexpr int kBytesRead = 0;  // Fill: bytes came in

  // Takes the handle (closing the one held before) and empties the buffer.
  void Attach(HANDLE handle);
  HANDLE handle() const { return handle_.get(); }

  // One read into the buffer: kBytesRead when bytes came, kNothingYet when the
  // pipe is empty, kEnded when it has ended, kError otherwise.
  int Fill();

  // The next whole line, CRs dropped, decoded from UTF-8 (cut at the first
  // bad byte). Reads until a line is complete or the pipe has nothing more.
  int ReadLine(std::u16string& line);

 private:
  rav::UniqueHandle handle_;
  LineBuffer buffer_;
};

}  // namespace ravuninst
