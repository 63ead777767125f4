// The launcher's own command line: help switches, the quoting of arguments
// that hold a colon and a blank, the argument text they are joined into, the
// CHECKERROR value and the "FILEn" keys.
//
// Input: the arguments (argv[1], argv[2], ...) separated by NUL bytes; its
// first four bytes also give one more "FILEn" index, any int.
//
// Properties: a help switch is exactly "/?" or "/help" / "-help" in any
// letter case; quoting adds two double quotes (before the character that
// precedes the first colon, or at the start, and at the end) and doubles the
// backslashes that end the argument, so taking those out gives the argument
// back, and an argument without both a colon and a blank is not touched; the argument text never reaches its 1,024-byte
// buffer, an argument that fits is appended with one blank, and one that
// does not fit leaves the text as it was; a key reads back as its index.
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "launcher/core/arguments.h"
#include "launcher/core/launch_entry.h"

namespace {

bool IsHelp(std::string_view argument) {
  if (argument == "/?") return true;
  if (argument.size() != 5 || (argument[0] != '/' && argument[0] != '-')) return false;
  const char* help = "help";
  for (std::size_t i = 0; i < 4; ++i) {
    char c = argument[i + 1];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    if (c != help[i]) return false;
  }
  return true;
}

// "FILE<index>", the index in decimal.
void CheckLaunchKey(int index) {
  const std::string key = launcher::LaunchKey(index);
  FUZZ_CHECK(key.compare(0, 4, "FILE") == 0);
  const std::size_t digits = key.size() > 4 && key[4] == '-' ? 5 : 4;
  FUZZ_CHECK(key.size() > digits);
  FUZZ_CHECK(key.find_first_not_of("0123456789", digits) == std::string::npos);
  FUZZ_CHECK(std::strtol(key.c_str() + 4, nullptr, 10) == index);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::AsText(data, size);
  std::string text;
  std::string before;  // the text before each append (reused: fewer allocations, more inputs a second)
  std::string_view head = input;
  CheckLaunchKey(fuzz::TakeInteger<int>(head));
  int index = 0;
  for (const std::string_view argument : fuzz::AllFields(input)) {
    FUZZ_CHECK(launcher::IsHelpSwitch(argument) == IsHelp(argument));

    const std::size_t colon = argument.find(':');
    const bool needsQuotes = colon != std::string_view::npos && argument.find(' ') != std::string_view::npos;
    FUZZ_CHECK(launcher::NeedsQuotes(argument) == needsQuotes);

    const std::string quoted = launcher::QuoteArgument(argument);
    if (!needsQuotes) {
      FUZZ_CHECK(quoted == argument);
    } else {
      const std::size_t at = colon == 0 ? 0 : colon - 1;
      const std::size_t lastOther = argument.find_last_not_of('\\');
      const std::size_t trailing = lastOther == std::string_view::npos ? argument.size() : argument.size() - 1 - lastOther;
      FUZZ_CHECK(quoted.size() == argument.size() + 2 + trailing);
      FUZZ_CHECK(quoted[at] == '"');
      FUZZ_CHECK(quoted.back() == '"');
      // An even run of backslashes before the closing quote: it stays a quote.
      const std::size_t lastQuoted = quoted.find_last_not_of('\\', quoted.size() - 2);
      FUZZ_CHECK((quoted.size() - 2 - lastQuoted) % 2 == 0);
      std::string unquoted = quoted;
      unquoted.pop_back();
      unquoted.resize(unquoted.size() - trailing);
      unquoted.erase(at, 1);
      FUZZ_CHECK(unquoted == argument);
    }

    before.assign(text);
    const bool fits = before.size() + quoted.size() + 1 < launcher::kArgumentTextCapacity;
    const bool appended = launcher::AppendArgument(text, quoted);
    FUZZ_CHECK(appended == fits);
    FUZZ_CHECK(text.size() < launcher::kArgumentTextCapacity);
    if (appended) {
      FUZZ_CHECK(text.size() == before.size() + quoted.size() + 1);
      FUZZ_CHECK(text.compare(0, before.size(), before) == 0);
      FUZZ_CHECK(text.compare(before.size(), quoted.size(), quoted) == 0);
      FUZZ_CHECK(text.back() == ' ');
    } else {
      FUZZ_CHECK(text == before);
    }

    // The same texts as the CHECKERROR value: only a leading n or N counts.
    FUZZ_CHECK(launcher::ErrorCheckingDisabled(argument) ==
               (!argument.empty() && (argument[0] == 'n' || argument[0] == 'N')));

    CheckLaunchKey(index++);
  }
  return 0;
}
