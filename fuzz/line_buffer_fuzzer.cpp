// The pipe reader's line assembly: bytes come in by reads of at most 16 into
// a bounded buffer and leave as LF-ended lines, CRs dropped, which the status
// poll decodes from UTF-8 and parses. A line keeps its first bytes up to the
// cap (64 KiB in the program); the rest of it, up to its LF, is dropped and
// counted; complete lines left untaken fill the buffer up to twice the cap
// and no further.
//
// The buffer's rules are the same at every cap, so the target mostly runs
// them at small ones, where short inputs cross the cap and fill the buffer
// many times a millisecond; the program's own cap is one of the scales.
//
// Input: a byte K, a byte S, then K % 32 schedule bytes, then the stream.
//   S:        the cap is 16 << S bytes for S up to 12 (16 bytes to the
//             program's 64 KiB), 16 << (S % 8) for any other S (16 bytes to
//             2 KiB: most inputs run at the small scales).
//   K & 0x20: in the stream, 0xFF and the byte L after it stand for a run of
//             ((L & 0x7F) + 1) units of one 32nd of the cap (at least a
//             byte), of 'x' or (L & 0x80) CR: up to four caps, which nothing
//             builds in memory. Runs stop counting once they have made
//             four caps' worth of bytes, enough to fill the buffer and run
//             over; and an input ends after 32,768 reads, so that each stays
//             quick at any scale.
//   K & 0x40: take no line: lines are taken only when the buffer refuses a
//             read (complete lines fill it), whatever the schedule says.
// Each schedule byte, used in turn and round again, gives the size of the
// next read (1 to 16, bits 0-3; with bit 6 and size 16, all the room
// offered) and what follows it (bits 4-5): take one line, take every line,
// take none, or empty the buffer first (as attaching a new pipe does) and
// take every line. No schedule: reads of 16 bytes, every line taken.
//
// Properties (checked against a model that holds runs of bytes, not the
// bytes): every byte of the stream ends in exactly one delivered line, in
// order (less its CRs, the LF ending the line), is dropped as part of a line
// past the cap, or is still held; the dropped bytes are counted, each line's
// once its LF has come; no line is delivered before its LF has arrived;
// every read is offered 1 to 16 bytes, all of them writable, or more only
// while the rest of an over-long line is dropped, or nothing only when the
// buffer is full at twice the cap and holds a complete line; the capacity
// starts at 32, only ever doubles, never shrinks and never passes twice the
// cap; a line (of up to 256 bytes) is decoded and parsed without an
// exception.
#include <algorithm>
#include <cstring>
#include <vector>

#include "common/core/utf_text.h"
#include "fuzz/fuzz_support.h"
#include "uninstaller/services/core/line_buffer.h"
#include "uninstaller/services/core/status_line.h"

namespace {

using ravuninst::LineBuffer;

// Lines up to this long are decoded and parsed as the status poll would.
constexpr std::size_t kDecodedLine = 256;
// The reads one input makes at most, before the last LF.
constexpr std::size_t kMostReads = 32768;

// `count` bytes of one value: a literal byte of the input (count 1) or a run.
struct Run {
  char byte;
  std::size_t count;
};

// What the buffer should hold since the last LF taken, as runs (a LF is
// always a run of its own), and the line taken last. Kept across inputs so
// that long lines cost no fresh allocation each time; emptied before use.
std::vector<Run> heldRuns;
std::string line;

struct Model {
  explicit Model(std::size_t maxLine) : buffer(maxLine) { heldRuns.clear(); }

  LineBuffer buffer;
  std::size_t head = 0;       // runs before it have been taken
  std::size_t heldBytes = 0;
  std::size_t lineFeeds = 0;  // complete lines held
  std::size_t open = 0;       // bytes of the line without LF at the end
  bool dropping = false;
  std::uint64_t droppedOpen = 0;
  std::uint64_t droppedEnded = 0;
  std::size_t capacity = 0;

  void CheckCapacity() {
    const std::size_t now = buffer.capacity();
    FUZZ_CHECK(now == capacity || now == 2 * capacity || (capacity == 0 && now == 2 * LineBuffer::kChunk));
    FUZZ_CHECK(now <= buffer.maxCapacity());
    capacity = now;
  }

  void CheckSize() {
    FUZZ_CHECK(buffer.size() == heldBytes);
    FUZZ_CHECK(buffer.size() <= buffer.maxCapacity());
  }

  void Reset() {
    buffer.Reset();
    heldRuns.clear();
    head = heldBytes = lineFeeds = open = 0;
    dropping = false;
    droppedOpen = droppedEnded = 0;
    CheckSize();
    FUZZ_CHECK(buffer.TakeDroppedBytes() == 0);
    CheckCapacity();
  }

  void Hold(char byte, std::size_t count) {
    if (count == 0) return;
    if (byte != '\n' && heldRuns.size() > head && heldRuns.back().byte == byte) {
      heldRuns.back().count += count;
    } else {
      heldRuns.push_back({byte, count});
    }
    heldBytes += count;
  }

  // `count` bytes of one value arrive.
  void Accept(char byte, std::size_t count) {
    if (byte == '\n') {
      dropping = false;
      droppedEnded += droppedOpen;
      droppedOpen = 0;
      Hold(byte, 1);
      ++lineFeeds;
      open = 0;
      return;
    }
    if (dropping) {
      droppedOpen += count;
      return;
    }
    const std::size_t kept = std::min(count, buffer.maxLine() - open);
    Hold(byte, kept);
    open += kept;
    if (kept < count) {
      droppedOpen += count - kept;
      dropping = true;
    }
  }

  // Takes one line; false when the model says none is complete.
  bool Take() {
    line = "left over";
    const bool taken = buffer.TakeLine(line);
    FUZZ_CHECK(taken == (lineFeeds > 0));
    if (!taken) {
      CheckSize();
      return false;
    }
    std::size_t at = 0;
    std::size_t lineBytes = 0;
    for (; heldRuns[head].byte != '\n'; ++head) {
      const Run& run = heldRuns[head];
      lineBytes += run.count;
      heldBytes -= run.count;
      if (run.byte == '\r') continue;
      FUZZ_CHECK(at + run.count <= line.size());
      FUZZ_CHECK(std::all_of(line.begin() + at, line.begin() + at + run.count, [&run](char c) { return c == run.byte; }));
      at += run.count;
    }
    FUZZ_CHECK(at == line.size());
    FUZZ_CHECK(lineBytes <= buffer.maxLine());
    ++head;  // the LF
    --heldBytes;
    --lineFeeds;
    if (head == heldRuns.size()) {
      heldRuns.clear();
      head = 0;
    }
    CheckSize();

    // As the status poll does with it; long lines only cost time here (the
    // decoder and the parser have fuzz targets of their own).
    if (line.size() <= kDecodedLine) {
      std::u16string text;
      rav::Utf8ToUtf16(line, text);
      ravuninst::ParseStatusLine(text);
    }
    return true;
  }

  void TakeAll() {
    while (Take()) {
    }
  }
};

// The stream, read piece by piece: literal bytes and runs.
class Stream {
 public:
  // `runUnit`: the bytes of one unit of a run; 0: no runs, 0xFF is a byte.
  // Runs make at most `runBytes` bytes in all; later ones are left out.
  Stream(std::string_view input, std::size_t runUnit, std::size_t runBytes = 0)
      : input_(input), runUnit_(runUnit), runBytesLeft_(runBytes) {}
  bool empty() {
    while (left_ == 0 && !input_.empty()) Next();
    return left_ == 0;
  }

  // Fills up to `room.size()` bytes of `room` from the stream, telling the
  // model what came; the number of bytes written.
  std::size_t Fill(std::span<char> room, Model& model) {
    std::size_t written = 0;
    while (written < room.size() && !empty()) {
      const std::size_t count = std::min(left_, room.size() - written);
      std::memset(room.data() + written, byte_, count);
      model.Accept(byte_, count);
      written += count;
      left_ -= count;
    }
    return written;
  }

 private:
  void Next() {
    const auto first = static_cast<unsigned char>(input_.front());
    input_.remove_prefix(1);
    if (runUnit_ != 0 && first == 0xFF && !input_.empty()) {
      const auto length = static_cast<unsigned char>(input_.front());
      input_.remove_prefix(1);
      byte_ = (length & 0x80) != 0 ? '\r' : 'x';
      left_ = std::min(((length & 0x7Fu) + 1) * runUnit_, runBytesLeft_);
      runBytesLeft_ -= left_;
    } else {
      byte_ = static_cast<char>(first);
      left_ = 1;
    }
  }

  std::string_view input_;
  std::size_t runUnit_;
  std::size_t runBytesLeft_;
  char byte_ = 0;
  std::size_t left_ = 0;
};

// One read of at most `most` bytes (or all the room offered); the bytes read.
std::size_t Read(Model& model, Stream& stream, std::size_t most, bool allTheRoom) {
  const std::span<char> room = model.buffer.PrepareRead();
  model.CheckCapacity();
  if (room.empty()) {
    // Only a full buffer refuses, and only for lines it holds.
    FUZZ_CHECK(model.lineFeeds > 0);
    FUZZ_CHECK(model.buffer.size() == model.buffer.maxCapacity());
    return 0;
  }
  FUZZ_CHECK(room.size() <= LineBuffer::kChunk || model.dropping);
  // All of it must be ours to write: its ends are, and it is one block.
  room.front() = '\xA5';
  room.back() = '\xA5';
  const std::size_t read = stream.Fill(room.first(allTheRoom ? room.size() : std::min(most, room.size())), model);
  model.buffer.CommitRead(read);
  model.CheckSize();
  FUZZ_CHECK(model.buffer.droppedFromOpenLine() == model.droppedOpen);
  FUZZ_CHECK(model.buffer.TakeDroppedBytes() == model.droppedEnded);
  model.droppedEnded = 0;
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::uint8_t first = fuzz::TakeByte(input);
  const std::uint8_t scale = fuzz::TakeByte(input);
  const std::size_t maxLine = LineBuffer::kChunk << (scale <= 12 ? scale : scale % 8);
  const std::size_t scheduled = first % 32;
  std::string_view schedule = input.substr(0, scheduled);
  input.remove_prefix(std::min(scheduled, input.size()));
  if (schedule.empty()) schedule = "\x1F";  // 16 bytes, every line
  const bool takeNoLine = (first & 0x40) != 0;

  Model model(maxLine);
  Stream stream(input, (first & 0x20) != 0 ? std::max<std::size_t>(1, maxLine / 32) : 0, 4 * maxLine);
  std::size_t turn = 0;
  while (!stream.empty() && turn < kMostReads) {
    const auto step = static_cast<unsigned char>(schedule[turn++ % schedule.size()]);
    const std::size_t count = 1 + (step & 0x0F);
    const unsigned then = (step >> 4) & 0x3;
    const bool allTheRoom = (step & 0x40) != 0 && (step & 0x0F) == 0x0F;
    if (then == 3) model.Reset();
    if (Read(model, stream, count, allTheRoom) == 0) {
      // Complete lines fill the buffer: take them, as the pipe reader does.
      model.TakeAll();
      continue;
    }
    if (takeNoLine) continue;
    switch (then) {
      case 0:
        model.Take();
        break;
      case 2:
        break;
      default:
        model.TakeAll();
    }
  }

  // An LF at the end brings out what is still held, as one last line.
  Stream lineFeed("\n", 0);
  while (Read(model, lineFeed, 1, false) == 0) model.TakeAll();
  model.TakeAll();
  FUZZ_CHECK(model.heldBytes == 0);
  FUZZ_CHECK(model.buffer.size() == 0);
  FUZZ_CHECK(model.droppedOpen == 0);
  return 0;
}
