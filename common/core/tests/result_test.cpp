// The value-or-error type the failure lines take their codes from.
#include <gtest/gtest.h>

#include "common/core/result.h"

namespace rav {
namespace {

// A call may fail and leave no code (0): that is still a failure, and
// whatever the code, the line prints it as the call left it.
TEST(Result, AFailureStaysOneAndKeepsItsCodeWhateverTheCode) {
  for (const WindowsError code : {0u, 2u, 206u, 0x80000000u, 0xFFFFFFFFu}) {
    const Result<int> value = Failure{code};
    EXPECT_FALSE(value.ok()) << code;
    EXPECT_EQ(value.error(), code);
    const Result<void> step = Failure{code};
    EXPECT_FALSE(step.ok()) << code;
    EXPECT_EQ(step.error(), code);
  }
  const Result<int> zero = 0;
  ASSERT_TRUE(zero.ok());
  EXPECT_EQ(*zero, 0);
  EXPECT_EQ(zero.error(), 0u);
  EXPECT_TRUE(Result<void>().ok());
}

}  // namespace
}  // namespace rav
