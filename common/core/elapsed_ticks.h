#pragma once

#include <cstdint>

namespace rav {

// Milliseconds since a start, counted from the system's 32-bit tick count
// (GetTickCount), which wraps every 49.7 days and is all that the oldest
// Windows the programs run on offers. Each reading adds only its distance to
// the reading before; unsigned subtraction gets that distance right across
// the wrap, as long as two readings are less than 49.7 days apart.
class ElapsedTicks {
 public:
  explicit ElapsedTicks(std::uint32_t now) : last_(now) {}

  std::uint64_t Advance(std::uint32_t now) {
    elapsed_ += static_cast<std::uint32_t>(now - last_);
    last_ = now;
    return elapsed_;
  }

 private:
  std::uint32_t last_;
  std::uint64_t elapsed_ = 0;
};

}  // namespace rav
