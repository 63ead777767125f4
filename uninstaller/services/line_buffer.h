#pragma once
// The byte buffer behind a pipe reader, without the pipe: bytes come in by
// at most 16 at a time and leave as whole LF-ended lines.
#include <cstddef>
#include <span>
#include <string>

namespace ravuninst {

class LineBuffer {
 public:
  static constexpr std::size_t kChunk = 16;

  LineBuffer() = default;
  ~LineBuffer();
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  // Empties the buffer, allocating its first 32 bytes if it has none yet.
  void Reset();

  // Where the next read goes and how much it may take: doubles the capacity
  // first when fewer than 16 bytes are free (std::bad_alloc if it cannot).
  std::span<char> PrepareRead();
  void CommitRead(std::size_t count);

  // Takes the bytes before the next LF, without any CR, out of the buffer.
  // False when no complete line is held.
  bool TakeLine(std::string& line);

  std::size_t capacity() const { return capacity_; }
  std::size_t size() const { return end_; }

 private:
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t end_ = 0;
  std::size_t scan_ = 0;  // bytes already searched for a LF
};

}  // namespace ravuninst
