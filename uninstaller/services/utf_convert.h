#pragma once
// UTF-16 <-> UTF-8 for the two byte streams of the uninstaller: the log file
// and the status pipe.
#include <string>
#include <string_view>

namespace ravuninst {

// Raises BasicException 885 for a lead surrogate without its trail, 888 for
// a trail surrogate without its lead.
std::string Utf16ToUtf8(std::u16string_view text);

// The same, but an unpaired surrogate becomes U+FFFD instead of an error.
std::string Utf16ToUtf8Lenient(std::u16string_view text);

// Decodes well-formed UTF-8. At the first malformed or cut-off sequence, or
// an encoded surrogate or a code point beyond U+10FFFF, it stops: `out`
// holds what was decoded so far and the result is -1. Otherwise 0.
int Utf8ToUtf16(std::string_view text, std::u16string& out);

}  // namespace ravuninst
