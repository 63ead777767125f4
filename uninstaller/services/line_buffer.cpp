#include "uninstaller/services/line_buffer.h"

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
}

std::span<char> LineBuffer::PrepareRead() {
  if (data_ == nullptr) Reset();
  if (capacity_ - end_ < kChunk) {
    char* grown = static_cast<char*>(std::realloc(data_, capacity_ * 2));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = grown;
    capacity_ *= 2;
  }
  const std::size_t room = capacity_ - end_;
  return {data_ + end_, room < kChunk ? room : kChunk};
}

void LineBuffer::CommitRead(std::size_t count) { end_ += count; }

bool LineBuffer::TakeLine(std::string& line) {
  const void* found = scan_ < end_ ? std::memchr(data_ + scan_, '\n', end_ - scan_) : nullptr;
  if (found == nullptr) {
    scan_ = end_;
    return false;
  }
  const std::size_t lineFeed = static_cast<std::size_t>(static_cast<const char*>(found) - data_);
  line.clear();
  line.reserve(lineFeed);
  for (std::size_t i = 0; i < lineFeed; ++i) {
    if (data_[i] != '\r') line.push_back(data_[i]);
  }
  const std::size_t rest = end_ - (lineFeed + 1);
  std::memmove(data_, data_ + lineFeed + 1, rest);
  end_ = rest;
  scan_ = 0;
  return true;
}

}  // namespace ravuninst
