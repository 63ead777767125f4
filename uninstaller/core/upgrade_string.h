#pragma once
// The removal command an installed product keeps in its "UpgradeString".
#include <cstddef>
#include <string>

namespace ravuninst {

// At most 1,026 bytes (513 UTF-16 units) of the value are read.
inline constexpr std::size_t kUpgradeStringBytes = 1026;

// The command line: the value's text up to its first NUL or the end of its
// data, whatever its type (an odd last byte is not a character).
std::u16string CommandFromValueData(const char16_t* data, std::size_t bytes);

}  // namespace ravuninst
