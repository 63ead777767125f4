// UTF-16 to UTF-8 and back, as the uninstaller converts its log lines and
// the setup engine's status lines and the trace viewer its debug strings.
//
// Input: read twice, once as UTF-8 bytes and once as UTF-16 code units
// (little-endian byte pairs).
//
// Properties, against an independent decoder built from the table of
// well-formed UTF-8 byte sequences:
// - decoding returns 0 exactly when the bytes are well-formed, and otherwise
//   stops at the first bad or cut-off sequence with everything before it
//   decoded; encoding what was decoded gives those bytes back exactly;
// - encoding raises 885 exactly when the first unpaired surrogate is a lead
//   and 888 when it is a trail, and encodes every text without one to bytes
//   that decode back to the same units;
// - the lenient encoder never raises, agrees with the strict one where that
//   succeeds, and otherwise decodes back to the text with each unpaired
//   surrogate replaced by U+FFFD;
// - lenient decoding agrees with strict decoding on well-formed bytes, and
//   otherwise gives the same units up to the first bad sequence, then U+FFFD.
#include "common/core/utf_text.h"
#include "fuzz/fuzz_support.h"
#include "uninstaller/services/core/basic_exception.h"
#include "uninstaller/services/core/utf_convert.h"

namespace {

// Table 3-7 of the Unicode Standard: the second byte's range by lead byte;
// every further byte is 80..BF.
struct LeadRule {
  unsigned char first, last;      // lead byte range
  std::size_t length;             // bytes in the sequence
  unsigned char secondLow, secondHigh;
};
constexpr LeadRule kRules[] = {
    {0x00, 0x7F, 1, 0, 0},          {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// The length of the well-formed sequence at `at`, or 0.
std::size_t SequenceAt(std::string_view bytes, std::size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  for (const LeadRule& rule : kRules) {
    if (lead < rule.first || lead > rule.last) continue;
    if (bytes.size() - at < rule.length) return 0;
    for (std::size_t k = 1; k < rule.length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[at + k]);
      const unsigned char low = k == 1 ? rule.secondLow : 0x80;
      const unsigned char high = k == 1 ? rule.secondHigh : 0xBF;
      if (next < low || next > high) return 0;
    }
    return rule.length;
  }
  return 0;
}

// Decodes the well-formed prefix; `end` is where it stops.
std::u16string Decode(std::string_view bytes, std::size_t* end) {
  std::u16string units;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t length = SequenceAt(bytes, at);
    if (length == 0) break;
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(bytes[at]) & kLeadMask[length];
    for (std::size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<unsigned char>(bytes[at + k]) & 0x3F);
    if (code >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD7C0 + (code >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(code));
    }
    at += length;
  }
  *end = at;
  return units;
}

bool IsLead(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsTrail(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The text with every unpaired surrogate replaced by U+FFFD; `firstError` is
// 885 or 888 for the first one, 0 when there is none.
std::u16string Repaired(std::u16string_view text, std::int32_t* firstError) {
  std::u16string out;
  *firstError = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLead(text[i]) && i + 1 < text.size() && IsTrail(text[i + 1])) {
      out.append(text.substr(i, 2));
      ++i;
    } else if (IsLead(text[i]) || IsTrail(text[i])) {
      if (*firstError == 0) *firstError = IsLead(text[i]) ? 885 : 888;
      out.push_back(0xFFFD);
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

void CheckDecoding(std::string_view bytes) {
  std::size_t end = 0;
  const std::u16string expected = Decode(bytes, &end);
  std::u16string out = u"left over";
  const bool wellFormed = rav::Utf8ToUtf16(bytes, out);
  FUZZ_CHECK(wellFormed == (end == bytes.size()));
  FUZZ_CHECK(out == expected);
  // What was decoded encodes back to exactly the bytes it came from.
  FUZZ_CHECK(ravuninst::Utf16ToUtf8(out) == bytes.substr(0, end));

  const std::u16string lenient = rav::Utf8ToUtf16Lenient(bytes);
  FUZZ_CHECK(lenient.size() <= bytes.size());
  if (wellFormed) {
    FUZZ_CHECK(lenient == out);
  } else {
    FUZZ_CHECK(lenient.size() > out.size() && lenient.compare(0, out.size(), out) == 0);
    FUZZ_CHECK(lenient[out.size()] == 0xFFFD);
  }
}

void CheckEncoding(std::u16string_view text) {
  std::int32_t firstError = 0;
  const std::u16string repaired = Repaired(text, &firstError);

  std::int32_t raised = 0;
  std::string strict;
  try {
    strict = ravuninst::Utf16ToUtf8(text);
  } catch (const ravuninst::BasicException& error) {
    raised = error.line;
    FUZZ_CHECK(std::string_view(error.file) == ravuninst::kUtilSourceName);
    FUZZ_CHECK(error.reserved1 == 0 && error.reserved2 == 0);
  }
  FUZZ_CHECK(raised == firstError);

  const std::string lenient = rav::Utf16ToUtf8(text);  // an exception here ends the run
  std::u16string back;
  FUZZ_CHECK(rav::Utf8ToUtf16(lenient, back));
  FUZZ_CHECK(back == repaired);
  FUZZ_CHECK(lenient.size() <= 3 * text.size());
  if (raised == 0) {
    FUZZ_CHECK(strict == lenient);
    FUZZ_CHECK(back == text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::AsText(data, size);
  CheckDecoding(bytes);

  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  CheckEncoding(units);
  return 0;
}
