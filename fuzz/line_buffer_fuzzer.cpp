// The pipe reader's line assembly: bytes come in by reads of at most 16 into
// a growing buffer and leave as LF-ended lines, CRs dropped, which the status
// poll decodes from UTF-8 and parses.
//
// Input: one byte K (K % 32 schedule bytes follow; none: reads of 16 bytes,
// taking every line after each), the schedule, then the byte stream. Each
// schedule byte, used in turn and round again, gives the size of the next
// read (1 to 16) and what follows it: take one line, take every line, take
// none, or empty the buffer first (as attaching a new pipe does) and take
// every line.
//
// Properties: every byte of the stream ends in exactly one delivered line,
// in order (less its CRs, the LF ending the line), or is still held; no line
// is delivered before its LF has arrived; every read is offered 1 to 16
// bytes, all of them writable; the capacity starts at 32, only ever doubles,
// never shrinks and stays below twice the most ever held plus 32; a line is
// decoded and parsed without an exception.
#include <algorithm>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "uninstaller/services/line_buffer.h"
#include "uninstaller/services/status_line.h"
#include "uninstaller/services/utf_convert.h"

namespace {

using ravuninst::LineBuffer;

struct Model {
  LineBuffer buffer;
  std::string held;  // what the buffer should hold: bytes since the last LF taken, CRs and all
  std::size_t capacity = 0;
  std::size_t peak = 0;  // the most bytes ever held before a read

  void CheckCapacity() {
    const std::size_t now = buffer.capacity();
    FUZZ_CHECK(now == capacity || now == 2 * capacity || (capacity == 0 && now == 2 * LineBuffer::kChunk));
    FUZZ_CHECK(now == 2 * LineBuffer::kChunk || now < 2 * (peak + LineBuffer::kChunk));
    capacity = now;
  }

  void Reset() {
    buffer.Reset();
    held.clear();
    FUZZ_CHECK(buffer.size() == 0);
    CheckCapacity();
  }

  // One read of the bytes (or as many as the buffer offers room for).
  std::size_t Read(std::string_view bytes) {
    peak = std::max(peak, held.size());
    const std::span<char> room = buffer.PrepareRead();
    CheckCapacity();
    FUZZ_CHECK(!room.empty() && room.size() <= LineBuffer::kChunk);
    std::memset(room.data(), 0xA5, room.size());  // all of it must be ours to write
    const std::size_t count = std::min(room.size(), bytes.size());
    std::memcpy(room.data(), bytes.data(), count);
    buffer.CommitRead(count);
    held.append(bytes.substr(0, count));
    FUZZ_CHECK(buffer.size() == held.size());
    return count;
  }

  // Takes one line; false when the model says none is complete.
  bool Take() {
    std::string line = "left over";
    const bool taken = buffer.TakeLine(line);
    const std::size_t lineFeed = held.find('\n');
    FUZZ_CHECK(taken == (lineFeed != std::string::npos));
    if (!taken) {
      FUZZ_CHECK(buffer.size() == held.size());
      return false;
    }
    std::string expected;
    for (std::size_t i = 0; i < lineFeed; ++i) {
      if (held[i] != '\r') expected.push_back(held[i]);
    }
    FUZZ_CHECK(line == expected);
    held.erase(0, lineFeed + 1);
    FUZZ_CHECK(buffer.size() == held.size());

    // As the status poll does with it.
    std::u16string text;
    ravuninst::Utf8ToUtf16(line, text);
    ravuninst::ParseStatusLine(text);
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::size_t scheduled = fuzz::TakeByte(input) % 32;
  std::string schedule(input.substr(0, scheduled));
  input.remove_prefix(std::min(scheduled, input.size()));
  if (schedule.empty()) schedule.push_back(static_cast<char>(0x1F));  // 16 bytes, every line

  Model model;
  std::size_t turn = 0;
  while (!input.empty()) {
    const auto step = static_cast<unsigned char>(schedule[turn++ % schedule.size()]);
    const std::size_t count = 1 + (step & 0x0F);
    const unsigned then = (step >> 4) & 0x3;
    if (then == 3) model.Reset();
    input.remove_prefix(model.Read(input.substr(0, count)));
    switch (then) {
      case 0:
        model.Take();
        break;
      case 2:
        break;
      default:
        while (model.Take()) {
        }
    }
  }

  // An LF at the end brings out what is still held, as one last line.
  model.Read("\n");
  while (model.Take()) {
  }
  FUZZ_CHECK(model.held.empty());
  FUZZ_CHECK(model.buffer.size() == 0);
  return 0;
}
