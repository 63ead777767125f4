#pragma once
// UTF-8 <-> UTF-16 for every deliverable, tool and test: the uninstaller's
// log file and status pipe, the trace viewer's lines, the test helpers'
// texts. Platform-free: narrow text is char, UTF-16 text is char16_t.
#include <string>
#include <string_view>

namespace rav {

// UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD, as the platform's
// own conversion does.
std::string Utf16ToUtf8(std::u16string_view text);

// The first unpaired surrogate of a text, for callers that refuse them.
enum class UnpairedSurrogate { kNone, kLead, kTrail };
UnpairedSurrogate FindUnpairedSurrogate(std::u16string_view text);

// Decodes well-formed UTF-8. At the first malformed or cut-off sequence, an
// encoded surrogate or a code point beyond U+10FFFF it stops: `out` holds
// what was decoded so far and the answer is false.
bool Utf8ToUtf16(std::string_view text, std::u16string& out);

// Decodes UTF-8 that may be malformed: each maximal part of a malformed
// sequence becomes one U+FFFD (the Unicode Standard's recommended practice).
std::u16string Utf8ToUtf16Lenient(std::string_view text);

}  // namespace rav
