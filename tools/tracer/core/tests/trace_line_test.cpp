#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tools/tracer/core/trace_line.h"

namespace tracer {
namespace {

TEST(TraceLine, CarriesTimePidImageAndText) {
  EXPECT_EQ(FormatTraceLine({9, 5, 7, 42}, 1234, "Setup.exe", "*** LAUNCHER ***: Command: prog.exe"),
            "09:05:07.042 [1234] Setup.exe: *** LAUNCHER ***: Command: prog.exe");
  EXPECT_EQ(FormatTraceLine({23, 59, 59, 999}, 4294967295ul, "", "x"), "23:59:59.999 [4294967295] ?: x");
}

TEST(TraceLine, TimeStampIsNeverCut) {
  // The widest values the types allow still print whole.
  const std::string pid = std::to_string(ULONG_MAX);
  EXPECT_EQ(FormatTraceLine({INT_MIN, INT_MIN, INT_MIN, INT_MIN}, ULONG_MAX, "a.exe", "x"),
            "-2147483648:-2147483648:-2147483648.-2147483648 [" + pid + "] a.exe: x");
  EXPECT_EQ(FormatTraceLine({123, 4567, 89012, 345678}, 0, "b", "y"), "123:4567:89012.345678 [0] b: y");
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

TEST(TraceLine, FormatsAWholeDebugStringLineByLine) {
  const TraceTime time{14, 3, 9, 5};
  EXPECT_EQ(FormatTraceText(time, 8, "w.exe", "one\r\ntwo\nthree", ""),
            "14:03:09.005 [8] w.exe: one\r\n14:03:09.005 [8] w.exe: two\r\n14:03:09.005 [8] w.exe: three\r\n");
  EXPECT_EQ(FormatTraceText(time, 8, "w.exe", "keep 1\ndrop\nkeep 2\n", "keep"),
            "14:03:09.005 [8] w.exe: keep 1\r\n14:03:09.005 [8] w.exe: keep 2\r\n");
  EXPECT_EQ(FormatTraceText(time, 8, "w.exe", "drop\r\n", "keep"), "");
  EXPECT_EQ(FormatTraceText(time, 8, "w.exe", "", ""), "");
  // An empty line inside a string is a line too.
  EXPECT_EQ(FormatTraceText(time, 8, "", "a\n\nb", ""),
            "14:03:09.005 [8] ?: a\r\n14:03:09.005 [8] ?: \r\n14:03:09.005 [8] ?: b\r\n");
}

TEST(TraceLine, LineEndsForTheConsoleAndFiles) {
  EXPECT_EQ(WithCrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(WithCrLf("\n\n"), "\r\n\r\n");
  EXPECT_EQ(WithCrLf("no end"), "no end");
  EXPECT_EQ(WithCrLf(""), "");
}

}  // namespace
}  // namespace tracer
