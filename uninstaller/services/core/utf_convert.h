#pragma once
// The uninstaller's strict UTF-16 -> UTF-8 rule over the shared converter
// (common/utf_text.h): the shared utility code refuses unpaired surrogates.
#include <string>
#include <string_view>

namespace ravuninst {

// Raises BasicException 885 for a lead surrogate without its trail, 888 for
// a trail surrogate without its lead, whichever comes first.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace ravuninst
