#pragma once
// One line of a deliverable's debug output, as handed to the debugger
// channel. The launcher and the co-installer each have their own DebugPrint
// and prefix; both compose their lines alike.
#include <cstddef>
#include <string>
#include <string_view>

namespace rav {

inline constexpr std::size_t kDebugMessageLimit = 4092;

// Cuts the message at 4,092 characters, removes trailing white space, ends it
// with CR LF and puts the prefix in front.
std::string ComposeDebugLine(std::string_view prefix, std::string_view message);

}  // namespace rav
