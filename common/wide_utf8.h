#pragma once
// UTF-8 <-> the Win32 edge's wide strings, over the shared converter
// (common/utf_text.h): an unpaired surrogate becomes U+FFFD, and so does
// each malformed part of the UTF-8.
#include <string>
#include <string_view>

#include "common/core/utf_text.h"
#include "common/wide_text.h"

namespace rav {

inline std::string WideToUtf8(std::wstring_view text) {
  return Utf16ToUtf8(std::u16string_view(as_u16cstr(text.data()), text.size()));
}

inline std::wstring Utf8ToWide(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16Lenient(text);
  return std::wstring(as_wcstr(wide.c_str()), wide.size());
}

}  // namespace rav
