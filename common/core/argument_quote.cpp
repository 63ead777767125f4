#include "common/core/argument_quote.h"

namespace rav {
namespace {

template <typename Char>
std::basic_string<Char> Quote(std::basic_string_view<Char> argument) {
  constexpr Char kSpecial[] = {' ', '\t', '"', 0};
  if (!argument.empty() && argument.find_first_of(kSpecial) == std::basic_string_view<Char>::npos) {
    return std::basic_string<Char>(argument);
  }
  std::basic_string<Char> quoted(1, Char('"'));
  std::size_t backslashes = 0;
  for (const Char c : argument) {
    if (c == Char('\\')) {
      ++backslashes;
      continue;
    }
    quoted.append(c == Char('"') ? backslashes * 2 + 1 : backslashes, Char('\\'));
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, Char('\\'));
  quoted.push_back(Char('"'));
  return quoted;
}

template <typename Char>
std::basic_string<Char> Join(std::initializer_list<std::basic_string_view<Char>> arguments) {
  std::basic_string<Char> joined;
  for (const std::basic_string_view<Char> argument : arguments) {
    if (!joined.empty()) joined += Char(' ');
    joined += Quote(argument);
  }
  return joined;
}

}  // namespace

std::string QuoteArgument(std::string_view argument) { return Quote(argument); }
std::u16string QuoteArgument(std::u16string_view argument) { return Quote(argument); }
std::wstring QuoteArgument(std::wstring_view argument) { return Quote(argument); }

std::u16string JoinArguments(std::initializer_list<std::u16string_view> arguments) { return Join(arguments); }
std::wstring JoinArguments(std::initializer_list<std::wstring_view> arguments) { return Join(arguments); }

}  // namespace rav
