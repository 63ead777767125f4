#pragma once
// One line of the launcher's debug output, as handed to the debugger channel.
#include <cstddef>
#include <string>
#include <string_view>

namespace launcher {

inline constexpr std::size_t kDebugMessageLimit = 4092;
inline constexpr std::string_view kDebugPrefix = "*** LAUNCHER ***: ";

// Cuts the message at 4,092 characters, removes trailing white space, ends it
// with CR LF and puts the prefix in front.
std::string ComposeDebugLine(std::string_view prefix, std::string_view message);

}  // namespace launcher
