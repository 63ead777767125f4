#include "uninstaller/services/core/line_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace ravuninst {

LineBuffer::~LineBuffer() { std::free(data_); }

void LineBuffer::Reset() {
  if (data_ == nullptr) {
    data_ = static_cast<char*>(std::malloc(2 * kChunk));
    if (data_ == nullptr) throw std::bad_alloc();
    capacity_ = 2 * kChunk;
  }
  end_ = 0;
  scan_ = 0;
  openStart_ = 0;
  dropping_ = false;
  droppedOpen_ = 0;
  droppedEnded_ = 0;
}

std::span<char> LineBuffer::PrepareRead() {
  if (data_ == nullptr) Reset();
  if (capacity_ - end_ < kChunk && capacity_ < maxCapacity()) {
    char* grown = static_cast<char*>(std::realloc(data_, capacity_ * 2));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = grown;
    capacity_ *= 2;
  }
  const std::size_t room = capacity_ - end_;
  if (dropping_) return {data_ + end_, room};
  return {data_ + end_, room < kChunk ? room : kChunk};
}

void LineBuffer::CommitRead(std::size_t count) {
  const std::size_t start = end_;
  end_ += count;
  if (dropping_) {
    const void* found = std::memchr(data_ + start, '\n', count);
    if (found == nullptr) {
      droppedOpen_ += count;
      end_ = start;
      return;
    }
    // The over-long line ends here: its LF and what follows stay.
    const std::size_t lineFeed = static_cast<std::size_t>(static_cast<const char*>(found) - data_);
    droppedOpen_ += lineFeed - start;
    std::memmove(data_ + start, data_ + lineFeed, end_ - lineFeed);
    end_ -= lineFeed - start;
    dropping_ = false;
  }
  // Each line that the new bytes end or continue keeps at most maxLine_ bytes.
  for (std::size_t at = start;;) {
    const void* found = std::memchr(data_ + at, '\n', end_ - at);
    std::size_t lineEnd = found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - data_) : end_;
    if (lineEnd - openStart_ > maxLine_) {
      const std::size_t keep = openStart_ + maxLine_;
      droppedOpen_ += lineEnd - keep;
      std::memmove(data_ + keep, data_ + lineEnd, end_ - lineEnd);
      end_ -= lineEnd - keep;
      lineEnd = keep;
      if (scan_ > end_) scan_ = end_;
      if (found == nullptr) dropping_ = true;
    }
    if (found == nullptr) return;
    droppedEnded_ += droppedOpen_;
    droppedOpen_ = 0;
    openStart_ = lineEnd + 1;
    at = openStart_;
  }
}

bool LineBuffer::TakeLine(std::string& line) {
  const void* found = scan_ < end_ ? std::memchr(data_ + scan_, '\n', end_ - scan_) : nullptr;
  if (found == nullptr) {
    scan_ = end_;
    return false;
  }
  const std::size_t lineFeed = static_cast<std::size_t>(static_cast<const char*>(found) - data_);
  line.clear();
  line.reserve(lineFeed);
  // The bytes between the CRs, a stretch at a time.
  for (std::size_t at = 0; at < lineFeed;) {
    const void* carriageReturn = std::memchr(data_ + at, '\r', lineFeed - at);
    const std::size_t stretchEnd =
        carriageReturn != nullptr ? static_cast<std::size_t>(static_cast<const char*>(carriageReturn) - data_) : lineFeed;
    line.append(data_ + at, stretchEnd - at);
    at = stretchEnd + 1;
  }
  const std::size_t rest = end_ - (lineFeed + 1);
  std::memmove(data_, data_ + lineFeed + 1, rest);
  end_ = rest;
  openStart_ -= lineFeed + 1;
  scan_ = 0;
  return true;
}

std::uint64_t LineBuffer::TakeDroppedBytes() {
  const std::uint64_t dropped = droppedEnded_;
  droppedEnded_ = 0;
  return dropped;
}

}  // namespace ravuninst
