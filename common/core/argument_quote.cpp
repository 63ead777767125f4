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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The end of the program's name: quotes only switch blanks on and off.
std::size_t EndOfProgramName(std::string_view line, std::size_t at) {
  bool quoted = false;
  for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
    if (line[at] == '"') quoted = !quoted;
  }
  return at;
}

// The end of any later argument: 2n backslashes and a quote are n
// backslashes and a quote that switches blanks on and off; 2n+1 backslashes
// and a quote are a literal quote; "" inside quotes is a literal quote.
std::size_t EndOfArgument(std::string_view line, std::size_t at) {
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    std::size_t backslashes = 0;
    while (at < line.size() && line[at] == '\\') {
      ++backslashes;
      ++at;
    }
    if (at >= line.size()) break;
    if (line[at] != '"') {
      if (backslashes == 0) ++at;
      continue;
    }
    if (backslashes % 2 == 0) {
      if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        ++at;  // "" inside quotes
      } else {
        quoted = !quoted;
      }
    }
    ++at;
  }
  return at;
}

}  // namespace

std::size_t ArgumentOffset(std::string_view commandLine, std::size_t index) {
  std::size_t at = 0;
  for (std::size_t argument = 0;; ++argument) {
    while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
    if (at >= commandLine.size()) return std::string_view::npos;
    if (argument == index) return at;
    at = argument == 0 ? EndOfProgramName(commandLine, at) : EndOfArgument(commandLine, at);
  }
}

std::string QuoteArgument(std::string_view argument) { return Quote(argument); }
std::u16string QuoteArgument(std::u16string_view argument) { return Quote(argument); }
std::wstring QuoteArgument(std::wstring_view argument) { return Quote(argument); }

std::u16string JoinArguments(std::initializer_list<std::u16string_view> arguments) { return Join(arguments); }
std::wstring JoinArguments(std::initializer_list<std::wstring_view> arguments) { return Join(arguments); }

}  // namespace rav
