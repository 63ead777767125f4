#pragma once
// Registry values as lines of the support bundle. Platform-free: the data
// comes in as the bytes the registry holds (strings in UTF-16LE).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tracer {

// The value types, as the platform numbers them (REG_SZ and so on).
enum RegistryType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegDwordBigEndian = 5,
  kRegLink = 6,
  kRegMultiSz = 7,
  kRegQword = 11,
};

// At most this many characters of a text, and bytes of other data, are shown.
inline constexpr std::size_t kShownCharacters = 1024;
inline constexpr std::size_t kShownBytes = 64;

// "NAME" TYPE (N bytes) = DATA. The name as it is ("(default)" for the
// unnamed value). Strings up to their first NUL (when there is none, the
// line says so: the co-installer writes "Country" that way), control
// characters as \r, \n, \t or \xNN; numbers in decimal and hex; anything
// else, or a number of the wrong size, as hex bytes.
std::string FormatRegistryValue(std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data);

// The strings of REG_MULTI_SZ data (UTF-16LE bytes) as UTF-8, up to the
// empty string that ends the list.
std::vector<std::string> MultiStringEntries(std::span<const std::uint8_t> data);

}  // namespace tracer
