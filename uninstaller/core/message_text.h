#pragma once
// The texts the uninstaller shows, put together: the product name in place
// of "%OEM_UTIL_NAME%", and the error message.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ravuninst {

inline constexpr std::u16string_view kProductToken = u"%OEM_UTIL_NAME%";

// The longest text, in UTF-16 units, that putting in the product name may
// make. Override texts come from the registry and may be of any size: a
// text whose expansion would be longer is shown as loaded, token and all.
inline constexpr std::size_t kMaxExpandedText = 65536;

struct ExpandedText {
  enum class Failure { kNone, kNoProductName, kTooLong };
  std::optional<std::u16string> text;  // set when Failure::kNone
  Failure failure = Failure::kNone;
};

// Replaces each "%OEM_UTIL_NAME%" by the product name, loaded anew for each
// replacement. A "%" opens a candidate; the next "%" closes it when exactly
// "%OEM_UTIL_NAME" lies between, else opens a new candidate. No text when a
// product name is needed and cannot be loaded, or when the result would be
// longer than kMaxExpandedText (it is never built beyond that).
ExpandedText ExpandProductName(std::u16string_view text,
                               const std::function<std::optional<std::u16string>()>& productName);

// "<4013 text>: <error file> <error line>."
std::u16string FormatRemovalError(std::u16string_view prefix, std::u16string_view errorFile, std::int32_t errorLine);

// "<4013 text>: 0xC0000005." for an engine that crashed with that status.
std::u16string FormatCrashError(std::u16string_view prefix, std::uint32_t status);

// "<4013 text>: 150." for an engine that ended with that exit code and no
// Result line.
std::u16string FormatExitCodeError(std::u16string_view prefix, std::int32_t exitCode);

}  // namespace ravuninst
