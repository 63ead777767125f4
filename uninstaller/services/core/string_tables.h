#pragma once
// Numbers, languages and blocks of the program's string tables.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ravuninst {

// Strings come in blocks of 16: block = number / 16 + 1.
constexpr std::uint16_t StringBlockId(std::uint16_t number) { return static_cast<std::uint16_t>(number / 16 + 1); }
constexpr unsigned StringBlockIndex(std::uint16_t number) { return number % 16; }

// A language identifier: the low 10 bits are the primary language, the high
// 6 the sublanguage (0 neutral, 1 the primary language's default).
constexpr unsigned PrimaryLanguage(std::uint16_t language) { return language & 0x3FFu; }
constexpr unsigned SubLanguage(std::uint16_t language) { return language >> 10; }
// The primary language with its default sublanguage.
constexpr std::uint16_t FallbackLanguage(std::uint16_t language) {
  return static_cast<std::uint16_t>((language & 0x3FF) | 0x400);
}

// The string at `index` of a block: 16 entries, each a 16-bit length and that
// many characters. Nothing when the entry is empty or the block is too short
// to hold it.
std::optional<std::u16string_view> FindStringInBlock(std::span<const char16_t> block, unsigned index);

// The file name without directory and last extension ("C:\x\ravuninst.exe"
// gives "ravuninst"); nothing for a path without a backslash.
std::optional<std::string> BaseNameWithoutExtension(std::string_view path);

}  // namespace ravuninst
