// The pipe reader's line assembly: bytes come in by reads of at most 16 into
// a bounded buffer and leave as LF-ended lines, CRs dropped, which the status
// poll decodes from UTF-8 and parses. A line keeps its first 64 KiB; the rest
// of it, up to its LF, is dropped and counted.
//
// Input: one byte K (K % 32 schedule bytes follow; none: reads of 16 bytes,
// taking every line after each; with K & 0x20 every 0xFF byte of the stream
// stands for 8,192 bytes 'x', so that lines pass the cap), the schedule,
// then the byte stream. Each schedule byte, used in turn and round again,
// gives the size of the next read (1 to 16, or all the room offered) and
// what follows it: take one line, take every line, take none, or empty the
// buffer first (as attaching a new pipe does) and take every line.
//
// Properties (checked against a byte-by-byte model): every byte of the
// stream ends in exactly one delivered line, in order (less its CRs, the LF
// ending the line), is dropped as part of a line past its first 64 KiB, or
// is still held; the dropped bytes are counted, each line's once its LF has
// come; no line is delivered before its LF has arrived; every read is
// offered 1 to 16 bytes, all of them writable, or more only while the rest
// of an over-long line is dropped (or nothing while complete lines fill the
// buffer); the capacity starts at 32, only ever doubles, never shrinks and
// never passes 128 KiB; a line is decoded and parsed without an exception.
#include <algorithm>
#include <cstring>

#include "common/core/utf_text.h"
#include "fuzz/fuzz_support.h"
#include "uninstaller/services/core/line_buffer.h"
#include "uninstaller/services/core/status_line.h"

namespace {

using ravuninst::LineBuffer;

struct Model {
  LineBuffer buffer;
  std::string held;      // what the buffer should hold: bytes since the last LF taken, CRs and all
  std::size_t open = 0;  // bytes of the line without LF at the end of `held`
  bool dropping = false;
  std::uint64_t droppedOpen = 0;
  std::uint64_t droppedEnded = 0;
  std::size_t capacity = 0;

  void CheckCapacity() {
    const std::size_t now = buffer.capacity();
    FUZZ_CHECK(now == capacity || now == 2 * capacity || (capacity == 0 && now == 2 * LineBuffer::kChunk));
    FUZZ_CHECK(now <= LineBuffer::kMaxCapacity);
    capacity = now;
  }

  void Reset() {
    buffer.Reset();
    held.clear();
    open = 0;
    dropping = false;
    droppedOpen = droppedEnded = 0;
    FUZZ_CHECK(buffer.size() == 0);
    FUZZ_CHECK(buffer.TakeDroppedBytes() == 0);
    CheckCapacity();
  }

  void Accept(char byte) {
    if (dropping) {
      if (byte != '\n') {
        ++droppedOpen;
        return;
      }
      dropping = false;
      droppedEnded += droppedOpen;
      droppedOpen = 0;
    }
    held.push_back(byte);
    open = byte == '\n' ? 0 : open + 1;
    if (open > LineBuffer::kMaxLine) {
      held.pop_back();
      --open;
      ++droppedOpen;
      dropping = true;
    }
  }

  // One read of the bytes (or as many as the buffer offers room for).
  std::size_t Read(std::string_view bytes, bool allTheRoom) {
    const std::span<char> room = buffer.PrepareRead();
    CheckCapacity();
    if (room.empty()) {
      FUZZ_CHECK(held.find('\n') != std::string::npos);  // lines must be taken first
      return 0;
    }
    FUZZ_CHECK(room.size() <= LineBuffer::kChunk || dropping);
    std::memset(room.data(), 0xA5, room.size());  // all of it must be ours to write
    const std::size_t count = std::min(allTheRoom ? room.size() : LineBuffer::kChunk, bytes.size());
    const std::size_t taken = std::min(room.size(), count);
    std::memcpy(room.data(), bytes.data(), taken);
    buffer.CommitRead(taken);
    for (std::size_t i = 0; i < taken; ++i) Accept(bytes[i]);
    FUZZ_CHECK(buffer.size() == held.size());
    FUZZ_CHECK(buffer.droppedFromOpenLine() == droppedOpen);
    FUZZ_CHECK(buffer.TakeDroppedBytes() == droppedEnded);
    droppedEnded = 0;
    return taken;
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
    FUZZ_CHECK(lineFeed <= LineBuffer::kMaxLine);
    std::string expected;
    for (std::size_t i = 0; i < lineFeed; ++i) {
      if (held[i] != '\r') expected.push_back(held[i]);
    }
    FUZZ_CHECK(line == expected);
    held.erase(0, lineFeed + 1);
    FUZZ_CHECK(buffer.size() == held.size());

    // As the status poll does with it.
    std::u16string text;
    rav::Utf8ToUtf16(line, text);
    ravuninst::ParseStatusLine(text);
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::uint8_t first = fuzz::TakeByte(input);
  const std::size_t scheduled = first % 32;
  std::string schedule(input.substr(0, scheduled));
  input.remove_prefix(std::min(scheduled, input.size()));
  if (schedule.empty()) schedule.push_back(static_cast<char>(0x1F));  // 16 bytes, every line

  std::string stream;
  for (const char byte : input) {
    if ((first & 0x20) != 0 && static_cast<unsigned char>(byte) == 0xFF) {
      stream.append(8192, 'x');
    } else {
      stream.push_back(byte);
    }
  }
  std::string_view rest = stream;

  Model model;
  std::size_t turn = 0;
  while (!rest.empty()) {
    const auto step = static_cast<unsigned char>(schedule[turn++ % schedule.size()]);
    const std::size_t count = 1 + (step & 0x0F);
    const unsigned then = (step >> 4) & 0x3;
    const bool allTheRoom = (step & 0x40) != 0 && (step & 0x0F) == 0x0F;
    if (then == 3) model.Reset();
    const std::size_t read = model.Read(rest.substr(0, allTheRoom ? rest.size() : count), allTheRoom);
    rest.remove_prefix(read);
    if (read == 0) {
      // Complete lines fill the buffer: take them, as the pipe reader does.
      while (model.Take()) {
      }
      continue;
    }
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
  while (model.Read("\n", false) == 0) model.Take();
  while (model.Take()) {
  }
  FUZZ_CHECK(model.held.empty());
  FUZZ_CHECK(model.buffer.size() == 0);
  FUZZ_CHECK(model.droppedOpen == 0);
  return 0;
}
