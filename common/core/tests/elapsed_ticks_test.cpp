#include <gtest/gtest.h>

#include <cstdint>

#include "common/core/elapsed_ticks.h"

namespace rav {
namespace {

TEST(ElapsedTicks, CountsOnAcrossTheWrapAndBeyondThirtyTwoBits) {
  ElapsedTicks clock(0xFFFFFF00u);
  EXPECT_EQ(clock.Advance(0xFFFFFF00u), 0u);
  EXPECT_EQ(clock.Advance(0xFFFFFFFFu), 0xFFu);
  EXPECT_EQ(clock.Advance(0x00000010u), 0x110u);  // the tick count wrapped
  // Two readings 40 days apart each: the sum outgrows 32 bits.
  const std::uint32_t fortyDays = 40u * 24 * 3600 * 1000;
  EXPECT_EQ(clock.Advance(0x10u + fortyDays), 0x110u + fortyDays);
  EXPECT_EQ(clock.Advance(0x10u + 2 * fortyDays), 0x110u + 2ull * fortyDays);
}

}  // namespace
}  // namespace rav
