#pragma once
// One line of a deliverable's debug output, as handed to the debugger
// channel. Every deliverable composes its lines here, each in its own style:
// the launcher and the co-installer with their prefixes, the uninstaller's
// trace as plain wide lines.
#include <cstddef>
#include <string>
#include <string_view>

namespace rav {

inline constexpr std::size_t kDebugMessageLimit = 4092;

template <typename Char>
struct DebugLineStyle {
  std::basic_string_view<Char> prefix;
  std::size_t messageLimit;  // characters of the message kept
  bool trimTrailingSpace;
  std::basic_string_view<Char> lineEnd;
};

// The launcher's and the co-installer's lines: the prefix, the message cut
// at 4,092 characters with trailing white space removed, CR LF.
constexpr DebugLineStyle<char> PrefixedDebugLines(std::string_view prefix) {
  return {prefix, kDebugMessageLimit, true, "\r\n"};
}

// The uninstaller's trace: the message as it is, LF.
inline constexpr DebugLineStyle<char16_t> kTraceLines = {u"", std::u16string_view::npos, false, u"\n"};

std::string ComposeDebugLine(const DebugLineStyle<char>& style, std::string_view message);
std::u16string ComposeDebugLine(const DebugLineStyle<char16_t>& style, std::u16string_view message);

// ComposeDebugLine(PrefixedDebugLines(prefix), message).
std::string ComposeDebugLine(std::string_view prefix, std::string_view message);

}  // namespace rav
