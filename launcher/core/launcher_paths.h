#pragma once
// The paths the launcher derives from its own location and the temporary
// directory. Each has a fixed buffer; a path that would not fit is refused.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// The platform's path length: 260 characters plus the terminator.
inline constexpr std::size_t kMaxPathChars = 260;
inline constexpr std::string_view kStagingName = "RavWLSetup";
inline constexpr std::string_view kIniName = "launcher.ini";

// The executable's path cut before its last backslash. Nothing when the path
// is empty or has no backslash after its first character.
std::optional<std::string> LauncherDirectory(std::string_view executablePath);

// "<launcher directory>\launcher.ini", when it fits.
std::optional<std::string> IniPath(std::string_view launcherDirectory);

// The temporary directory (ending in a backslash) followed by "RavWLSetup",
// when it fits.
std::optional<std::string> StagingDirectory(std::string_view temporaryDirectory);

}  // namespace launcher
