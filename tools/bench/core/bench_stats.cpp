#include "tools/bench/core/bench_stats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace bench {
namespace {

// `value` with this many decimals.
std::string Fixed(double value, int decimals) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return error == std::errc() ? std::string(text, end) : std::string("-");
}

// A failed run is recorded as NaN: it makes the whole figure unknown (and
// NaN would break the sort's ordering).
bool Unknown(const std::vector<double>& values) {
  return values.empty() || std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); });
}

}  // namespace

double Median(std::vector<double> values) {
  if (Unknown(values)) return std::numeric_limits<double>::quiet_NaN();
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Percentile(std::vector<double> values, double percent) {
  if (Unknown(values)) return std::numeric_limits<double>::quiet_NaN();
  std::sort(values.begin(), values.end());
  // Rank ceil(p/100 * n), 1-based, clamped to the values held.
  const double rank = std::ceil(percent / 100.0 * static_cast<double>(values.size()));
  const std::size_t index = rank < 1 ? 0 : std::min(values.size(), static_cast<std::size_t>(rank)) - 1;
  return values[index];
}

std::string FormatDuration(double milliseconds) {
  if (std::isnan(milliseconds)) return "-";
  if (milliseconds >= 1000) return Fixed(milliseconds / 1000, 2) + " s";
  if (milliseconds >= 100) return Fixed(milliseconds, 0) + " ms";
  if (milliseconds >= 10) return Fixed(milliseconds, 1) + " ms";
  if (milliseconds >= 0.1) return Fixed(milliseconds, 2) + " ms";
  return Fixed(milliseconds * 1000, 1) + " us";
}

std::string FormatRatio(double value, double reference) {
  if (std::isnan(value) || std::isnan(reference) || reference == 0) return "-";
  const double ratio = value / reference;
  return Fixed(ratio, ratio >= 10 ? 0 : 2) + "x";
}

std::string FormatPercent(double fraction) {
  if (std::isnan(fraction)) return "-";
  return Fixed(fraction * 100, 1) + " %";
}

std::string FormatBytes(double bytes) {
  if (std::isnan(bytes)) return "-";
  if (bytes >= 10e6) return Fixed(bytes / 1e6, 1) + " MB";
  // Thousands separated, as sizes are usually read.
  const std::string digits = Fixed(bytes, 0);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped + " B";
}

std::string TableRow(const std::vector<std::string>& cells) {
  std::string row = "|";
  for (const std::string& cell : cells) row.append(" ").append(cell).append(" |");
  return row;
}

std::string TableHeader(const std::vector<std::string>& titles) {
  std::string rule = "|";
  for (std::size_t i = 0; i < titles.size(); ++i) rule.append(i == 0 ? "---|" : "--:|");
  return TableRow(titles) + "\n" + rule;
}

}  // namespace bench
