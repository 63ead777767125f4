#include "common/core/ascii_case.h"

#include <algorithm>

namespace rav {
namespace {

template <typename Char>
bool Equal(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](Char x, Char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

std::string AsciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

std::string AsciiUppered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) { return Equal(a, b); }

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) { return Equal(a, b); }

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && Equal(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace rav
