#include "testsupport/text.h"

#include <windows.h>

#include "common/wide_utf8.h"

namespace testsupport {

std::wstring Widen(std::string_view utf8) { return rav::Utf8ToWide(utf8); }

std::string Narrow(std::wstring_view utf16) { return rav::WideToUtf8(utf16); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace testsupport
