#pragma once
// The setup engine's status lines: comma-separated fields, keyword first.
//   Progress,<first>,<second>
//   Result,<result>,<ignored>,<errorFile>,<errorLine>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ravuninst {

// Fields as they stand: no trimming; ",," gives an empty field and a
// trailing comma an empty last field.
std::vector<std::u16string_view> SplitStatusFields(std::u16string_view line);

// Like wcstol in base 10: leading white space skipped, optional sign, digits
// up to the first other character, 0 without digits, clamped to 32 bits.
std::int32_t ParseStatusNumber(std::u16string_view field);

struct StatusLine {
  enum class Kind { kOther, kProgress, kResult };
  Kind kind = Kind::kOther;
  std::int32_t first = 0;   // Progress: the bar's upper bound
  std::int32_t second = 0;  // Progress: the bar's position
  std::int32_t result = 0;  // Result
  std::u16string errorFile;
  std::int32_t errorLine = 0;
};

StatusLine ParseStatusLine(std::u16string_view line);

}  // namespace ravuninst
