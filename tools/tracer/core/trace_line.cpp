#include "tools/tracer/core/trace_line.h"

#include <cstdio>
#include <limits>

namespace tracer {
namespace {

// The time stamp's buffer holds the widest values the types allow, so the
// stamp is never cut: four ints of a sign and ten digits, the process ID's
// digits, ':', ':', '.', ' ', '[', ']', ' ' and the terminator.
constexpr std::size_t kIntChars = std::numeric_limits<int>::digits10 + 2;
constexpr std::size_t kProcessIdChars = std::numeric_limits<unsigned long>::digits10 + 1;
constexpr std::size_t kStampChars = 4 * kIntChars + kProcessIdChars + 8;

}  // namespace

std::string FormatTraceLine(const TraceTime& time, unsigned long processId, std::string_view image,
                            std::string_view line) {
  char stamp[kStampChars];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d [%lu] ", time.hour, time.minute, time.second,
                time.millisecond, processId);
  std::string out = stamp;
  out.append(image.empty() ? std::string_view("?") : image).append(": ").append(line);
  return out;
}

std::vector<std::string> SplitDebugText(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool PassesFilter(std::string_view line, std::string_view filter) {
  return filter.empty() || line.substr(0, filter.size()) == filter;
}

std::string FormatTraceText(const TraceTime& time, unsigned long processId, std::string_view image,
                            std::string_view text, std::string_view filter) {
  std::string out;
  for (const std::string& line : SplitDebugText(text)) {
    if (!PassesFilter(line, filter)) continue;
    out.append(FormatTraceLine(time, processId, image, line)).append("\r\n");
  }
  return out;
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace tracer
