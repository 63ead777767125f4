// Reading the system-wide channel's buffer: process ID, text up to the NUL,
// and no reading past the 4,096 bytes however the writer left them.
#include <gtest/gtest.h>

#include <vector>

#include "tools/tracer/core/dbwin_record.h"

namespace tracer {
namespace {

std::vector<unsigned char> Buffer(std::uint32_t processId, std::string_view text, unsigned char fill = 0xCC) {
  std::vector<unsigned char> buffer(kDbwinBufferSize, fill);
  for (int i = 0; i < 4; ++i) buffer[i] = static_cast<unsigned char>(processId >> (8 * i));
  std::copy(text.begin(), text.end(), buffer.begin() + 4);
  return buffer;
}

TEST(DbwinRecord, ProcessIdAndTextUpToTheNul) {
  const DbwinRecord record = ReadDbwinRecord(Buffer(0x12345678, std::string_view("one\r\n\0stale", 11)));
  EXPECT_EQ(record.processId, 0x12345678u);
  EXPECT_EQ(record.text, "one\r\n");
  EXPECT_EQ(ReadDbwinRecord(Buffer(4294967295u, std::string_view("\0", 1))).processId, 4294967295u);
  EXPECT_EQ(ReadDbwinRecord(Buffer(8, std::string_view("\0", 1))).text, "");
}

TEST(DbwinRecord, TheLongestTextAWriterPutsIn) {
  // A writer keeps at most 4,091 characters and a NUL.
  EXPECT_EQ(kDbwinTextLimit, 4091u);
  const std::string longest(kDbwinTextLimit, 'x');
  const DbwinRecord record = ReadDbwinRecord(Buffer(4, longest + '\0'));
  EXPECT_EQ(record.text, longest);
}

TEST(DbwinRecord, TextWithoutNulEndsWithTheBuffer) {
  const DbwinRecord record = ReadDbwinRecord(Buffer(4, "", 'y'));
  EXPECT_EQ(record.text, std::string(kDbwinBufferSize - 4, 'y'));
  // A larger span (a copy with room to spare) is still read as 4,096 bytes.
  std::vector<unsigned char> larger = Buffer(4, "", 'z');
  larger.resize(kDbwinBufferSize * 2, 'w');
  EXPECT_EQ(ReadDbwinRecord(larger).text, std::string(kDbwinBufferSize - 4, 'z'));
}

TEST(DbwinRecord, ShortBuffers) {
  const std::vector<unsigned char> three = {1, 2, 3};
  EXPECT_EQ(ReadDbwinRecord(three).processId, 0u);
  EXPECT_EQ(ReadDbwinRecord(three).text, "");
  const std::vector<unsigned char> six = {5, 0, 0, 0, 'h', 'i'};
  EXPECT_EQ(ReadDbwinRecord(six).processId, 5u);
  EXPECT_EQ(ReadDbwinRecord(six).text, "hi");
}

}  // namespace
}  // namespace tracer
