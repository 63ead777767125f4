#include <gtest/gtest.h>

#include "tools/tracer/trace_line.h"

namespace tracer {
namespace {

TEST(TraceLine, CarriesTimePidImageAndText) {
  EXPECT_EQ(FormatTraceLine({9, 5, 7, 42}, 1234, "Setup.exe", "*** LAUNCHER ***: Command: prog.exe"),
            "09:05:07.042 [1234] Setup.exe: *** LAUNCHER ***: Command: prog.exe");
  EXPECT_EQ(FormatTraceLine({23, 59, 59, 999}, 4294967295ul, "", "x"), "23:59:59.999 [4294967295] ?: x");
}

TEST(TraceLine, SplitsDebugStringsIntoLines) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitDebugText("one\r\n"), Lines{"one"});
  EXPECT_EQ(SplitDebugText("no line end"), Lines{"no line end"});
  EXPECT_EQ(SplitDebugText("a\nb\r\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitDebugText("a\n\nb\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitDebugText("trailing CRs\r\r\n"), Lines{"trailing CRs"});
  EXPECT_EQ(SplitDebugText(""), Lines{});
}

TEST(TraceLine, FilterKeepsLinesStartingWithIt) {
  EXPECT_TRUE(PassesFilter("anything", ""));
  EXPECT_TRUE(PassesFilter("*** RAVCOINST ***: DIF_REMOVE", "*** RAVCOINST ***"));
  EXPECT_FALSE(PassesFilter("WinMain: Verbose", "*** RAVCOINST ***"));
  EXPECT_FALSE(PassesFilter("*** RAV", "*** RAVCOINST ***"));
  EXPECT_EQ(BaseName("C:\\pkg\\Setup.exe"), "Setup.exe");
  EXPECT_EQ(BaseName("/z/a.exe"), "a.exe");
  EXPECT_EQ(BaseName("plain"), "plain");
}

}  // namespace
}  // namespace tracer
