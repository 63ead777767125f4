#pragma once
// Lines from one non-blocking pipe: reads of at most 16 bytes into a
// bounded buffer, handed out as UTF-16 text once their LF has arrived.
#include <windows.h>

#include <optional>
#include <string>

#include "common/win_resources.h"
#include "uninstaller/services/core/channel_results.h"
#include "uninstaller/services/core/line_buffer.h"

namespace ravuninst {

class PipeReader {
 public:
  // The most reads one ReadLine makes before it answers kNothingYet, so
  // that a stream without LF never keeps the caller for long.
  static constexpr int kReadsPerCall = 64;

  // Takes the handle (closing the one held before) and empties the buffer.
  // `channel` names the pipe in the log's line about an over-long line.
  void Attach(HANDLE handle, const wchar_t* channel = L"pipe");
  HANDLE handle() const { return handle_.get(); }

  // The next whole line, CRs dropped, decoded from UTF-8 (cut at the first
  // bad byte). Reads until a line is complete, the pipe has nothing more,
  // or kReadsPerCall reads have been made (kNothingYet).
  LineRead ReadLine(std::u16string& line);

  // Whether the last ReadLine took anything: a line or at least one byte.
  bool tookInput() const { return tookInput_; }

 private:
  // One read into the buffer: nothing when bytes came, else why not
  // (kNothingYet: the pipe is empty; kEnded; kError).
  std::optional<LineRead> Fill();
  void LogDropped(std::uint64_t bytes, const wchar_t* when);

  rav::UniqueHandle handle_;
  LineBuffer buffer_;
  const wchar_t* channel_ = L"pipe";
  bool tookInput_ = false;
  bool endLogged_ = false;
};

}  // namespace ravuninst
