#pragma once
// Text in the ANSI code page (the narrow "A" calls' text) as UTF-16 and
// UTF-8. Win32 edge: the code page is the system's.
#include <string>
#include <string_view>

namespace rav {

// Bytes the code page does not define become its default character, as
// MultiByteToWideChar does without flags; empty when nothing converts.
std::wstring AnsiToWide(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

}  // namespace rav
