#pragma once
// Figures for the benchmark tables: medians and percentiles of repeated
// measurements, and the texts of one table row.
#include <string>
#include <vector>

namespace bench {

// The middle value (the mean of the two middle ones for an even count);
// NaN for no values or when any value is NaN (a failed run).
double Median(std::vector<double> values);

// The nearest-rank percentile: the smallest value with at least `percent`
// of the values at or below it. NaN as for Median.
double Percentile(std::vector<double> values, double percent);

// "0.42 ms", "12.3 ms", "4.56 s": three significant figures or so.
std::string FormatDuration(double milliseconds);
// "1.07x" for how many times `value` is `reference`; "-" when either is
// missing or the reference is zero.
std::string FormatRatio(double value, double reference);
// "3.4 %" (one decimal).
std::string FormatPercent(double fraction);
// "117,248 B", "5.6 MB" (decimal megabytes above 10 MB).
std::string FormatBytes(double bytes);

// "| a | b | c |" with the cells as given.
std::string TableRow(const std::vector<std::string>& cells);
// The header row and its rule, for the same number of columns.
std::string TableHeader(const std::vector<std::string>& titles);

}  // namespace bench
