#include "uninstaller/services/utf_convert.h"

#include <algorithm>

#include "uninstaller/services/basic_exception.h"

namespace ravuninst {
namespace {

bool IsLead(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsTrail(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code <= 0xFFFF) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

template <typename OnUnpaired>
std::string Encode(std::u16string_view text, OnUnpaired onUnpaired) {
  std::string out;
  out.reserve(std::max<std::size_t>(text.size(), 16));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsLead(unit)) {
      if (i + 1 < text.size() && IsTrail(text[i + 1])) {
        AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
        ++i;
      } else {
        AppendUtf8(out, onUnpaired(kUnpairedLeadSurrogate));
      }
    } else if (IsTrail(unit)) {
      AppendUtf8(out, onUnpaired(kUnpairedTrailSurrogate));
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  return Encode(text, [](std::int32_t line) -> char32_t { RaiseUtilError(line); });
}

std::string Utf16ToUtf8Lenient(std::u16string_view text) {
  return Encode(text, [](std::int32_t) -> char32_t { return 0xFFFD; });
}

int Utf8ToUtf16(std::string_view text, std::u16string& out) {
  out.clear();
  out.reserve(std::max<std::size_t>(text.size(), 16));
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    char32_t code;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if (lead < 0xC2 || lead > 0xF4) {
      return -1;  // stray continuation byte, overlong lead, or beyond U+10FFFF
    } else if (lead < 0xE0) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead < 0xF0) {
      length = 3;
      code = lead & 0x0F;
    } else {
      length = 4;
      code = lead & 0x07;
    }
    if (length > text.size() - i) return -1;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next < 0x80 || next > 0xBF) return -1;
      if (k == 1 && ((lead == 0xE0 && next < 0xA0) || (lead == 0xF0 && next < 0x90) || (lead == 0xF4 && next > 0x8F))) {
        return -1;
      }
      code = (code << 6) | (next & 0x3F);
    }
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return -1;
    if (code > 0xFFFF) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return 0;
}

}  // namespace ravuninst
