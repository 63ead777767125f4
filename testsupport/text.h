#pragma once
// UTF-8 <-> UTF-16 for test code, and splitting captured text into lines.
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Splits at LF; a CR before the LF goes too. A last piece without LF is kept.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace testsupport
