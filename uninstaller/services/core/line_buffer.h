#pragma once
// The byte buffer behind a pipe reader, without the pipe: bytes come in by
// at most 16 at a time and leave as whole LF-ended lines. A line keeps at
// most 64 KiB: the rest of a longer one, up to its LF, is dropped and
// counted, so whatever a pipe carries the buffer never holds more than
// 128 KiB.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ravuninst {

class LineBuffer {
 public:
  static constexpr std::size_t kChunk = 16;
  // The most bytes (CRs included) a line keeps before its LF.
  static constexpr std::size_t kMaxLine = 64 * 1024;
  // The most the buffer ever allocates.
  static constexpr std::size_t kMaxCapacity = 2 * kMaxLine;

  LineBuffer() = default;
  // A buffer whose lines keep at most `maxLine` bytes (a power of two, at
  // least kChunk), and which allocates at most twice that: the same rules at
  // a scale that short inputs reach (the fuzzer's).
  explicit LineBuffer(std::size_t maxLine) : maxLine_(maxLine) {}
  ~LineBuffer();
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  // Empties the buffer, allocating its first 32 bytes if it has none yet.
  void Reset();

  // Where the next read goes and how much it may take: 16 bytes at most,
  // doubling the capacity first when fewer are free (std::bad_alloc if it
  // cannot). While the rest of an over-long line is being dropped, a read
  // may take all the room there is (up to 64 KiB): those bytes are only
  // searched for their LF. Empty only when complete lines fill the buffer
  // and must be taken first.
  std::span<char> PrepareRead();
  void CommitRead(std::size_t count);

  // Takes the bytes before the next LF, without any CR, out of the buffer.
  // False when no complete line is held.
  bool TakeLine(std::string& line);

  // Bytes dropped from over-long lines whose LF has arrived since the last
  // call; the count starts again at 0.
  std::uint64_t TakeDroppedBytes();
  // Bytes dropped so far from the line still open (its LF not yet come).
  std::uint64_t droppedFromOpenLine() const { return droppedOpen_; }

  std::size_t capacity() const { return capacity_; }
  std::size_t size() const { return end_; }
  std::size_t maxLine() const { return maxLine_; }
  std::size_t maxCapacity() const { return 2 * maxLine_; }

 private:
  std::size_t maxLine_ = kMaxLine;
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t end_ = 0;
  std::size_t scan_ = 0;       // bytes already searched for a LF
  std::size_t openStart_ = 0;  // where the line without LF yet starts
  bool dropping_ = false;      // the open line is at its cap: its bytes go until its LF
  std::uint64_t droppedOpen_ = 0;
  std::uint64_t droppedEnded_ = 0;
};

}  // namespace ravuninst
