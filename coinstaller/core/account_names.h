#pragma once
// Account names as the co-installer compares them: "DOMAIN\user", formed from
// the console session's names or from a process token's owner, compared
// without regard to the case of ASCII letters (the platform spells the same
// domain in different cases in different places).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace coinstaller {

// The user-name buffers hold 4,096 characters with the terminator.
inline constexpr std::size_t kUserNameBuffer = 4096;

// "<domain>\<name>", when it fits a buffer of `bufferChars` characters.
std::optional<std::string> QualifiedAccountName(std::string_view domain, std::string_view name,
                                                std::size_t bufferChars = kUserNameBuffer);

// Whether a process whose owner is `owner` belongs to `user`: equal when
// they differ at most in the case of ASCII letters (other bytes must match
// exactly). An owner that could not be determined (empty) belongs to nobody.
bool OwnerIsUser(std::string_view owner, std::string_view user);

}  // namespace coinstaller
