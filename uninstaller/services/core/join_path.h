#pragma once
#include <string>
#include <string_view>

namespace ravuninst {

// Appends `part` to `base` with exactly one backslash between them. Forward
// slashes in `base` become backslashes; `part` is taken as it is.
void JoinPath(std::u16string& base, std::u16string_view part);

}  // namespace ravuninst
