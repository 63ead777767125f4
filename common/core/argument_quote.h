#pragma once
// Command lines for programs this code starts: each argument quoted so that
// the platform's parsing (CommandLineToArgvW and the C runtime's) gives it
// back unchanged. Platform-free, in narrow and UTF-16 text alike.
#include <initializer_list>
#include <string>
#include <string_view>

namespace rav {

// An argument without blank, tab or quote stays as it is (an empty one gets
// quotes). Otherwise it is put in quotes; backslashes before a quote, and
// before the closing quote, are doubled and the quote escaped; other
// backslashes stay as they are.
std::string QuoteArgument(std::string_view argument);
std::u16string QuoteArgument(std::u16string_view argument);
// For the Win32 edge's wide strings, UTF-16 there as well.
std::wstring QuoteArgument(std::wstring_view argument);

// Where argument `index` of a command line begins (0: the program's name,
// which ends at the first blank outside quotes; the others by the platform's
// rules), or npos when the line has no such argument. The rest of the line
// from there is what a program hands on to another unchanged, quotes as
// they were typed.
std::size_t ArgumentOffset(std::string_view commandLine, std::size_t index);

// The arguments, each quoted, one blank between them.
std::u16string JoinArguments(std::initializer_list<std::u16string_view> arguments);
std::wstring JoinArguments(std::initializer_list<std::wstring_view> arguments);

}  // namespace rav
