#include "uninstaller/core/message_text.h"

namespace ravuninst {

ExpandedText ExpandProductName(std::u16string_view text,
                               const std::function<std::optional<std::u16string>()>& productName) {
  constexpr std::u16string_view kOpening = kProductToken.substr(0, kProductToken.size() - 1);  // "%OEM_UTIL_NAME"
  const ExpandedText tooLong{std::nullopt, ExpandedText::Failure::kTooLong};
  // A name goes in only while the copy stays within the limit, and the rest
  // of the text is within it too: the copy never grows past twice the limit.
  if (text.size() > kMaxExpandedText) return tooLong;
  std::u16string out;
  out.reserve(text.size());
  bool candidateOpen = false;
  std::size_t candidateInText = 0;
  std::size_t candidateInOut = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') {
      out.push_back(text[i]);
      continue;
    }
    if (candidateOpen && i - candidateInText == kOpening.size() && text.substr(candidateInText, kOpening.size()) == kOpening) {
      const std::optional<std::u16string> name = productName();
      if (!name) return {std::nullopt, ExpandedText::Failure::kNoProductName};
      out.resize(candidateInOut);
      if (name->size() > kMaxExpandedText - out.size()) return tooLong;
      out.append(*name);
      candidateOpen = false;
      continue;
    }
    candidateOpen = true;
    candidateInText = i;
    candidateInOut = out.size();
    out.push_back(u'%');
  }
  if (out.size() > kMaxExpandedText) return tooLong;
  return {std::move(out), ExpandedText::Failure::kNone};
}

namespace {

void AppendDecimal(std::u16string& text, std::int32_t number) {
  for (char c : std::to_string(number)) text.push_back(static_cast<char16_t>(c));
}

}  // namespace

std::u16string FormatRemovalError(std::u16string_view prefix, std::u16string_view errorFile, std::int32_t errorLine) {
  std::u16string message(prefix);
  message.append(u": ").append(errorFile).append(u" ");
  AppendDecimal(message, errorLine);
  message.push_back(u'.');
  return message;
}

std::u16string FormatExitCodeError(std::u16string_view prefix, std::int32_t exitCode) {
  std::u16string message(prefix);
  message.append(u": ");
  AppendDecimal(message, exitCode);
  message.push_back(u'.');
  return message;
}

std::u16string FormatCrashError(std::u16string_view prefix, std::uint32_t status) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string message(prefix);
  message.append(u": 0x");
  for (int shift = 28; shift >= 0; shift -= 4) message.push_back(kDigits[(status >> shift) & 0xF]);
  message.push_back(u'.');
  return message;
}

}  // namespace ravuninst
