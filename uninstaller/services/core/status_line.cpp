#include "uninstaller/services/core/status_line.h"

#include <limits>

namespace ravuninst {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

std::vector<std::u16string_view> SplitStatusFields(std::u16string_view line) {
  std::vector<std::u16string_view> fields;
  for (;;) {
    const std::size_t comma = line.find(u',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::u16string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  return fields;
}

std::int32_t ParseStatusNumber(std::u16string_view field) {
  std::size_t i = 0;
  while (i < field.size() && IsSpace(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == u'+' || field[i] == u'-')) {
    negative = field[i] == u'-';
    ++i;
  }
  // Accumulate in 64 bits and stop growing once past the 32-bit range.
  constexpr std::int64_t kBeyond = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
  std::int64_t value = 0;
  for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
    if (value < kBeyond) value = value * 10 + (field[i] - u'0');
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

StatusLine ParseStatusLine(std::u16string_view line) {
  const std::vector<std::u16string_view> fields = SplitStatusFields(line);
  StatusLine parsed;
  if (fields[0] == u"Progress" && fields.size() >= 3) {
    parsed.kind = StatusLine::Kind::kProgress;
    parsed.first = ParseStatusNumber(fields[1]);
    parsed.second = ParseStatusNumber(fields[2]);
  } else if (fields[0] == u"Result" && fields.size() >= 5) {
    parsed.kind = StatusLine::Kind::kResult;
    parsed.result = ParseStatusNumber(fields[1]);
    parsed.errorFile = std::u16string(fields[3]);
    parsed.errorLine = ParseStatusNumber(fields[4]);
  }
  return parsed;
}

}  // namespace ravuninst
