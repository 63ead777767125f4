#pragma once
// The system-wide debug-output channel's shared buffer (the 4,096-byte
// section "DBWIN_BUFFER"): the writer's process ID, then its text in the
// ANSI code page, ended by a NUL. Platform-free: it only reads bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tracer {

inline constexpr std::size_t kDbwinBufferSize = 4096;
// Room for the text after the process ID, its NUL included: a writer puts
// at most 4,091 characters into the buffer at a time.
inline constexpr std::size_t kDbwinTextRoom = kDbwinBufferSize - sizeof(std::uint32_t);
inline constexpr std::size_t kDbwinTextLimit = kDbwinTextRoom - 1;

struct DbwinRecord {
  std::uint32_t processId = 0;
  std::string text;  // ANSI code page, up to the NUL
};

// Reads one record from a copy of the buffer. A buffer shorter than the
// process ID gives an empty record; text without a NUL ends at the buffer's
// end (4,092 characters at most).
DbwinRecord ReadDbwinRecord(std::span<const unsigned char> buffer);

}  // namespace tracer
