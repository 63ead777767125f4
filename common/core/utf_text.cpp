#include "common/core/utf_text.h"

#include <algorithm>

namespace rav {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

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

void AppendUtf16(std::u16string& out, char32_t code) {
  if (code > 0xFFFF) {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(code));
  }
}

// One UTF-8 sequence: its code point when well-formed (length > 0 and
// `valid`), otherwise how many bytes form the maximal malformed part (at
// least one).
struct Sequence {
  char32_t code = 0;
  std::size_t length = 0;
  bool valid = false;
};

Sequence DecodeOne(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1, true};
  // Stray continuation bytes, overlong two-byte leads and leads beyond
  // U+10FFFF start no sequence.
  if (lead < 0xC2 || lead > 0xF4) return {0, 1, false};
  const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  char32_t code = lead & (lead < 0xE0 ? 0x1F : lead < 0xF0 ? 0x0F : 0x07);
  // The second byte's range rules out overlong forms, encoded surrogates and
  // code points beyond U+10FFFF; every further byte is 80..BF.
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  for (std::size_t k = 1; k < length; ++k) {
    if (at + k >= text.size()) return {0, k, false};
    const auto next = static_cast<unsigned char>(text[at + k]);
    if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return {0, k, false};
    code = (code << 6) | (next & 0x3F);
  }
  return {code, length, true};
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(std::max<std::size_t>(text.size(), 16));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsLead(unit) && i + 1 < text.size() && IsTrail(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsLead(unit) || IsTrail(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

UnpairedSurrogate FindUnpairedSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLead(text[i])) {
      if (i + 1 == text.size() || !IsTrail(text[i + 1])) return UnpairedSurrogate::kLead;
      ++i;
    } else if (IsTrail(text[i])) {
      return UnpairedSurrogate::kTrail;
    }
  }
  return UnpairedSurrogate::kNone;
}

bool Utf8ToUtf16(std::string_view text, std::u16string& out) {
  out.clear();
  out.reserve(std::max<std::size_t>(text.size(), 16));
  for (std::size_t i = 0; i < text.size();) {
    const Sequence sequence = DecodeOne(text, i);
    if (!sequence.valid) return false;
    AppendUtf16(out, sequence.code);
    i += sequence.length;
  }
  return true;
}

std::u16string Utf8ToUtf16Lenient(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Sequence sequence = DecodeOne(text, i);
    AppendUtf16(out, sequence.valid ? sequence.code : kReplacement);
    i += sequence.length;
  }
  return out;
}

}  // namespace rav
