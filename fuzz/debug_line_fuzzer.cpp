// The debug line of the launcher and the co-installer: message cut at 4,092
// characters, trailing white space removed, CR LF appended, prefix in front.
//
// Input: one byte choosing the prefix (the launcher's, the co-installer's,
// or the text up to the first NUL of the rest), two bytes of padding count
// and one padding byte (the message starts with that many of it, so short
// inputs reach the limit with any character at the cut), then the message.
//
// Properties: the line is the prefix, then the message's first 4,092
// characters less their trailing white space, then exactly one CR LF: the
// body is never longer than 4,092 characters and does not end in white
// space, and what was dropped before the cut was white space only. With
// either program's prefix the line fits the 4,116-byte output buffer.
#include "common/core/debug_line.h"
#include "fuzz/fuzz_support.h"
#include "launcher/core/debug_prefix.h"

namespace {

constexpr std::string_view kCoinstallerPrefix = "*** RAVCOINST ***: ";
constexpr std::size_t kOutputBuffer = 4116;

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::uint8_t choice = fuzz::TakeByte(input);
  const std::size_t padding = fuzz::TakeCount(input, 0x1FFF);
  const char fill = static_cast<char>(fuzz::TakeByte(input));
  std::string_view prefix;
  switch (choice % 3) {
    case 0:
      prefix = launcher::kDebugPrefix;
      break;
    case 1:
      prefix = kCoinstallerPrefix;
      break;
    default: {
      const std::size_t nul = input.find('\0');
      prefix = input.substr(0, nul);
      input = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    }
  }
  const std::string message = std::string(padding, fill) + std::string(input);

  const std::string line = rav::ComposeDebugLine(prefix, message);

  FUZZ_CHECK(line.size() >= prefix.size() + 2);
  FUZZ_CHECK(line.compare(0, prefix.size(), prefix) == 0);
  FUZZ_CHECK(line.compare(line.size() - 2, 2, "\r\n") == 0);
  const std::string_view body = std::string_view(line).substr(prefix.size(), line.size() - prefix.size() - 2);
  FUZZ_CHECK(body.size() <= rav::kDebugMessageLimit);
  FUZZ_CHECK(body.empty() || !IsWhiteSpace(body.back()));  // so the line ends in one CR LF only
  FUZZ_CHECK(std::string_view(message).substr(0, body.size()) == body);
  const std::string_view dropped =
      std::string_view(message).substr(body.size(), rav::kDebugMessageLimit - body.size());
  for (const char c : dropped) FUZZ_CHECK(IsWhiteSpace(c));
  if (choice % 3 != 2) FUZZ_CHECK(line.size() + 1 <= kOutputBuffer);
  return 0;
}
