// A launcher.ini launch entry ("FILEn" value) split into command and
// arguments, in place and as a copy.
//
// Properties: the command is the entry up to its first blank outside double
// quotes, with every double quote dropped, so it is never longer than the
// entry and holds no quote; the arguments, when there are any, are the rest
// of the entry after that blank, unchanged, and point into the same buffer.
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "launcher/core/launch_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::AsText(data, size);
  // The profile reader hands the value over as a C string.
  const std::string_view value = input.substr(0, input.find('\0'));

  // Where the command ends: the first blank after an even number of quotes.
  std::size_t blank = std::string_view::npos;
  std::size_t quotes = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '"') {
      ++quotes;
    } else if (value[i] == ' ' && quotes % 2 == 0) {
      blank = i;
      break;
    }
  }
  std::string expectedCommand;
  for (const char c : value.substr(0, blank)) {
    if (c != '"') expectedCommand.push_back(c);
  }

  // In place, in a buffer of exactly the value and its terminator.
  const std::unique_ptr<char[]> buffer(new char[value.size() + 1]);
  std::memcpy(buffer.get(), value.data(), value.size());
  buffer[value.size()] = '\0';
  const char* arguments = buffer.get() + value.size() + 1;  // must be overwritten
  launcher::SplitLaunchEntry(buffer.get(), &arguments);

  const std::string_view command(buffer.get());
  FUZZ_CHECK(command.size() <= value.size());
  FUZZ_CHECK(command.find('"') == std::string_view::npos);
  FUZZ_CHECK(command == expectedCommand);
  if (blank == std::string_view::npos) {
    FUZZ_CHECK(arguments == nullptr);
  } else {
    FUZZ_CHECK(arguments == buffer.get() + blank + 1);
    FUZZ_CHECK(std::string_view(arguments) == value.substr(blank + 1));
  }

  // The copying form gives the same.
  const launcher::LaunchEntry entry = launcher::SplitLaunchEntry(value);
  FUZZ_CHECK(entry.command == expectedCommand);
  FUZZ_CHECK(entry.arguments.has_value() == (blank != std::string_view::npos));
  if (entry.arguments) {
    // An unchanged suffix of the entry, right after a blank.
    const std::string& rest = *entry.arguments;
    FUZZ_CHECK(rest.size() < value.size());
    FUZZ_CHECK(value.substr(value.size() - rest.size()) == rest);
    FUZZ_CHECK(value[value.size() - rest.size() - 1] == ' ');
  }
  return 0;
}
