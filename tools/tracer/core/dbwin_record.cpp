#include "tools/tracer/core/dbwin_record.h"

#include <algorithm>

namespace tracer {

DbwinRecord ReadDbwinRecord(std::span<const unsigned char> buffer) {
  DbwinRecord record;
  if (buffer.size() < sizeof(std::uint32_t)) return record;
  // Little-endian, as every Windows machine writes it.
  record.processId = static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
                     static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
  const std::span<const unsigned char> room =
      buffer.subspan(sizeof(std::uint32_t), std::min(buffer.size() - sizeof(std::uint32_t), kDbwinTextRoom));
  const auto end = std::find(room.begin(), room.end(), static_cast<unsigned char>(0));
  record.text.assign(room.begin(), end);
  return record;
}

}  // namespace tracer
