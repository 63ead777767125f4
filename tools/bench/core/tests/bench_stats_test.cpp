#include "tools/bench/core/bench_stats.h"

#include <cmath>

#include <gtest/gtest.h>

namespace bench {
namespace {

TEST(BenchStats, MedianOfOddAndEvenCountsAndUnsortedInput) {
  EXPECT_EQ(Median({5, 1, 3}), 3);
  EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
  EXPECT_EQ(Median({7}), 7);
  EXPECT_TRUE(std::isnan(Median({})));
  // One failed run makes the figure unknown rather than quietly better.
  EXPECT_TRUE(std::isnan(Median({1, std::nan(""), 3})));
}

TEST(BenchStats, PercentileIsTheNearestRank) {
  std::vector<double> hundred;
  for (int i = 100; i >= 1; --i) hundred.push_back(i);
  EXPECT_EQ(Percentile(hundred, 50), 50);
  EXPECT_EQ(Percentile(hundred, 99), 99);
  EXPECT_EQ(Percentile(hundred, 100), 100);
  EXPECT_EQ(Percentile(hundred, 0), 1);
  // Few values: the 99th percentile is the largest, not past the end.
  EXPECT_EQ(Percentile({3, 1, 2}, 99), 3);
  EXPECT_TRUE(std::isnan(Percentile({}, 50)));
  EXPECT_TRUE(std::isnan(Percentile({1, 2, std::nan("")}, 50)));
}

TEST(BenchStats, FiguresReadAsATableShowsThem) {
  const struct {
    double milliseconds;
    const char* text;
  } durations[] = {{0.042, "42.0 us"}, {0.42, "0.42 ms"}, {12.34, "12.3 ms"}, {123.4, "123 ms"}, {4560, "4.56 s"}};
  for (const auto& d : durations) EXPECT_EQ(FormatDuration(d.milliseconds), d.text) << d.milliseconds;
  EXPECT_EQ(FormatDuration(std::nan("")), "-");

  EXPECT_EQ(FormatRatio(107, 100), "1.07x");
  EXPECT_EQ(FormatRatio(4700, 100), "47x");
  EXPECT_EQ(FormatRatio(1, 0), "-");
  EXPECT_EQ(FormatPercent(0.034), "3.4 %");
  EXPECT_EQ(FormatBytes(117248), "117,248 B");
  EXPECT_EQ(FormatBytes(999), "999 B");
  EXPECT_EQ(FormatBytes(1000), "1,000 B");
  EXPECT_EQ(FormatBytes(56.4e6), "56.4 MB");
}

TEST(BenchStats, HeaderRuleHasOneCellPerColumnAndRightAlignsFigures) {
  EXPECT_EQ(TableHeader({"What", "Time", "Ratio"}), "| What | Time | Ratio |\n|---|--:|--:|");
  EXPECT_EQ(TableRow({"a", "1 ms"}), "| a | 1 ms |");
}

}  // namespace
}  // namespace bench
