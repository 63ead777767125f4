#include "launcher/core/arguments.h"

#include "common/core/ascii_case.h"

namespace launcher {

bool IsHelpSwitch(std::string_view argument) {
  return rav::EqualIgnoringAsciiCase(argument, "/Help") || rav::EqualIgnoringAsciiCase(argument, "-Help") ||
         argument == "/?";
}

bool NeedsQuotes(std::string_view argument) {
  return argument.find(':') != std::string_view::npos && argument.find(' ') != std::string_view::npos;
}

std::string QuoteArgument(std::string_view argument) {
  if (!NeedsQuotes(argument)) return std::string(argument);
  const std::size_t colon = argument.find(':');
  // Normally the quote goes before the drive letter; a leading colon has none.
  const std::size_t at = colon == 0 ? 0 : colon - 1;
  std::string quoted;
  quoted.reserve(argument.size() + 2);
  quoted.append(argument.substr(0, at));
  quoted.push_back('"');
  quoted.append(argument.substr(at));
  // The platform's rule: backslashes right before a quote escape it, so the
  // ones that end the argument are doubled to leave the closing quote a
  // quote (and give the program the backslashes as typed).
  const std::size_t lastOther = argument.find_last_not_of('\\');
  const std::size_t trailing = lastOther == std::string_view::npos ? argument.size() : argument.size() - lastOther - 1;
  quoted.append(trailing, '\\');
  quoted.push_back('"');
  return quoted;
}

bool AppendArgument(std::string& text, std::string_view argument) {
  // Room for the argument, its blank and the terminator of the buffer.
  if (text.size() + argument.size() + 1 >= kArgumentTextCapacity) return false;
  text.append(argument);
  text.push_back(' ');
  return true;
}

}  // namespace launcher
