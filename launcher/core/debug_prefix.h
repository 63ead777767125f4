#pragma once
// The launcher's debug-line prefix; the lines are composed by
// rav::ComposeDebugLine.
#include <string_view>

namespace launcher {

inline constexpr std::string_view kDebugPrefix = "*** LAUNCHER ***: ";

}  // namespace launcher
