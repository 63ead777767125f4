#include "common/debug_line.h"

namespace rav {
namespace {

bool IsTrailingSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string ComposeDebugLine(std::string_view prefix, std::string_view message) {
  message = message.substr(0, kDebugMessageLimit);
  while (!message.empty() && IsTrailingSpace(message.back())) message.remove_suffix(1);
  std::string line;
  line.reserve(prefix.size() + message.size() + 2);
  line.append(prefix).append(message).append("\r\n");
  return line;
}

}  // namespace rav
