#include "common/core/debug_line.h"

namespace rav {
namespace {

template <typename Char>
bool IsTrailingSpace(Char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <typename Char>
std::basic_string<Char> Compose(const DebugLineStyle<Char>& style, std::basic_string_view<Char> message) {
  message = message.substr(0, style.messageLimit);
  if (style.trimTrailingSpace) {
    while (!message.empty() && IsTrailingSpace(message.back())) message.remove_suffix(1);
  }
  std::basic_string<Char> line;
  line.reserve(style.prefix.size() + message.size() + style.lineEnd.size());
  line.append(style.prefix).append(message).append(style.lineEnd);
  return line;
}

}  // namespace

std::string ComposeDebugLine(const DebugLineStyle<char>& style, std::string_view message) {
  return Compose(style, message);
}

std::u16string ComposeDebugLine(const DebugLineStyle<char16_t>& style, std::u16string_view message) {
  return Compose(style, message);
}

std::string ComposeDebugLine(std::string_view prefix, std::string_view message) {
  return Compose(PrefixedDebugLines(prefix), message);
}

}  // namespace rav
