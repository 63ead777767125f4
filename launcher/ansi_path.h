#pragma once
// Paths the launcher reads wide and then works on with the narrow ("A")
// calls: only a narrow form that names the very same file is used, never a
// best-fit twin ("C:\tu\Ĉapo" must not become "C:\tu\Capo", somebody else's
// folder).
#include <optional>
#include <string>

namespace launcher {

// The text in the ANSI code page when every character converts exactly.
std::optional<std::string> ExactAnsi(const std::wstring& text);

// The path in the ANSI code page: as it is when it converts exactly, else
// its short (8.3) form when that does; nothing when neither does.
std::optional<std::string> AnsiPath(const std::wstring& path);

}  // namespace launcher
