#pragma once
// Letter case of ASCII letters only: switches, account names, file name
// extensions and registry key names are compared this way. Other bytes and
// units, those of the ANSI code page included, are never folded.
#include <string>
#include <string_view>

namespace rav {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string AsciiLowered(std::string_view text);
std::string AsciiUppered(std::string_view text);

// Equal when they differ at most in the case of ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);

}  // namespace rav
