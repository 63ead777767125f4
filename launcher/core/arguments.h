#pragma once
// The launcher's own command line: help switches, the quoting of drive-letter
// paths with blanks, and the argument text handed on to every started program.
#include <cstddef>
#include <string>
#include <string_view>

namespace launcher {

// The argument text lives in a 1,024-byte buffer: 1,023 characters at most.
inline constexpr std::size_t kArgumentTextCapacity = 1024;

// "/Help", "-Help" or "/?", the whole argument, letters in any case.
bool IsHelpSwitch(std::string_view argument);

// An argument with both a colon and a blank (0x20) gets quoted.
bool NeedsQuotes(std::string_view argument);

// Puts a double quote in front of the character before the first colon (at
// the very start when the colon is the first character) and one at the end;
// backslashes that end the argument are doubled first, so that the program
// reads the closing quote as one. Arguments that need no quotes come back
// unchanged.
std::string QuoteArgument(std::string_view argument);

// Appends the argument and one blank when both fit in the argument text's
// buffer; otherwise leaves the text as it was and returns false.
bool AppendArgument(std::string& text, std::string_view argument);

}  // namespace launcher
