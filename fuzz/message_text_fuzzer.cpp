// The texts the uninstaller shows: "%OEM_UTIL_NAME%" replaced by the product
// name, and the removal error message.
//
// Input: one byte N (the product name cannot be loaded from its N-th load
// on; 0: it always can), four bytes of error line (little-endian), then
// UTF-16 text (see fuzz::Widen): the product name, a NUL, the message text.
// Without a NUL the whole is the text and the name is "Adapter". A name
// that starts with U+E001 stands for 5,000 copies of the rest of it, so
// that a few tokens reach the limit of an expanded text.
//
// Properties: the expansion equals plain left-to-right replacement of every
// non-overlapping "%OEM_UTIL_NAME%"; the name is loaded once per replacement
// and a failed load gives nothing; putting the token back where a marker
// name went gives the text again; a text without "%" comes back unchanged
// without a load; with a name that holds none of the token's characters the
// result never holds the token (nothing is expanded twice or formed anew);
// no expansion is longer than kMaxExpandedText, one that would be (or a text
// already longer) gives nothing, failing as too long, and every other one
// is given.
// The error message is "<text>: <file> <line>." whole, the line in decimal.
#include "fuzz/fuzz_support.h"
#include "uninstaller/core/message_text.h"

namespace {

constexpr std::u16string_view kToken = u"%OEM_UTIL_NAME%";
constexpr char16_t kMarker = 0xE000;  // a private-use character

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view name, std::size_t* count) {
  std::u16string out;
  *count = 0;
  std::size_t at = 0;
  for (;;) {
    const std::size_t found = text.find(kToken, at);
    if (found == std::u16string_view::npos) break;
    out.append(text.substr(at, found - at)).append(name);
    ++*count;
    at = found + kToken.size();
  }
  out.append(text.substr(at));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::size_t failAt = fuzz::TakeByte(input);
  const std::int32_t errorLine = fuzz::TakeInteger<std::int32_t>(input);
  const std::u16string whole = fuzz::Widen(input);
  const std::size_t nul = whole.find(u'\0');
  std::u16string name = nul == std::u16string::npos ? u"Adapter" : whole.substr(0, nul);
  if (!name.empty() && name.front() == u'\xE001') {
    const std::u16string unit = name.substr(1);
    name.clear();
    for (int i = 0; i < 5000; ++i) name.append(unit);
  }
  const std::u16string text = nul == std::u16string::npos ? whole : whole.substr(nul + 1);

  std::size_t tokens = 0;
  const std::u16string expected = ReplaceAll(text, name, &tokens);

  std::size_t loads = 0;
  const auto load = [&]() -> std::optional<std::u16string> {
    ++loads;
    if (failAt != 0 && loads >= failAt) return std::nullopt;
    return name;
  };
  const ravuninst::ExpandedText result = ravuninst::ExpandProductName(text, load);
  const std::optional<std::u16string>& expanded = result.text;
  using Failure = ravuninst::ExpandedText::Failure;
  const bool tooLong = expected.size() > ravuninst::kMaxExpandedText || text.size() > ravuninst::kMaxExpandedText;
  FUZZ_CHECK(expanded.has_value() == (result.failure == Failure::kNone));
  if (expanded) {
    FUZZ_CHECK(*expanded == expected);
    FUZZ_CHECK(expanded->size() <= ravuninst::kMaxExpandedText);
    FUZZ_CHECK(loads == tokens);
  } else if (result.failure == Failure::kTooLong) {
    FUZZ_CHECK(tooLong);
  } else {
    FUZZ_CHECK(failAt != 0 && tokens >= failAt);
    FUZZ_CHECK(loads == failAt);
  }
  if (!tooLong && (failAt == 0 || tokens < failAt)) FUZZ_CHECK(expanded.has_value());
  if (text.find(u'%') == std::u16string::npos && !tooLong) {
    FUZZ_CHECK(expanded == text);
    FUZZ_CHECK(loads == 0);
  }

  // A marker for a name: the token goes back where each marker stands.
  if (text.find(kMarker) == std::u16string::npos) {
    std::size_t markers = 0;
    const auto marker = [&markers]() -> std::optional<std::u16string> {
      ++markers;
      return std::u16string(1, kMarker);
    };
    const std::optional<std::u16string> marked = ravuninst::ExpandProductName(text, marker).text;
    FUZZ_CHECK(marked.has_value() || text.size() > ravuninst::kMaxExpandedText);
    if (!marked) return 0;
    std::u16string restored;
    std::size_t seen = 0;
    for (const char16_t c : *marked) {
      if (c == kMarker) {
        restored.append(kToken);
        ++seen;
      } else {
        restored.push_back(c);
      }
    }
    FUZZ_CHECK(restored == text);
    FUZZ_CHECK(seen == markers);
  }

  // A name of none of the token's characters: the token never survives.
  if (!name.empty() && name.find_first_of(kToken) == std::u16string::npos && expanded) {
    FUZZ_CHECK(expanded->find(kToken) == std::u16string::npos);
  }

  // The error message, with the name as its first part and the text as the
  // error file.
  const std::u16string message = ravuninst::FormatRemovalError(name, text, errorLine);
  std::u16string number;
  for (const char c : std::to_string(errorLine)) number.push_back(static_cast<char16_t>(c));
  FUZZ_CHECK(message == name + u": " + text + u" " + number + u".");
  return 0;
}
