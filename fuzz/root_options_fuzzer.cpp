// The uninstaller's command line: "/rootkey=" and "/rootdir=", the mode
// keyword, "driver", the localized-strings key derived from the root key and
// the setup engine's command line built from the root directory.
//
// Input: the command line as UTF-16 (see fuzz::Widen).
//
// Properties: each option value is what an independent reading of the rules
// gives (first occurrence; a quoted value ends before the next quote, an
// unquoted root key before the next blank; the end looked for within 255
// characters), so neither is ever longer than 255 characters; a "/rootdir="
// without its opening quote stops the parsing and leaves the directory empty;
// the localized-strings key is the root key cut at its last backslash plus
// "\LocalizedStrings", or nothing when that would pass 255 characters; the
// mode is the first table row whose keyword occurs anywhere; the engine's
// command line holds the directory twice (the second time with the
// backslashes that end it doubled, so that they cannot escape its closing
// quote) and exactly four double quotes, so no directory from the command
// line can add arguments to it or join the next one to it.
#include "fuzz/fuzz_support.h"
#include "uninstaller/core/command_line.h"
#include "uninstaller/core/engine_command.h"

namespace {

using ravuninst::kOptionValueLimit;

// The value that starts at `start`: characters up to `end`, at most 255,
// the end looked for only among those.
std::u16string ValueFrom(std::u16string_view line, std::size_t start, char16_t end) {
  std::u16string value;
  for (std::size_t i = start; i < line.size() && value.size() < kOptionValueLimit; ++i) {
    if (line[i] == end) break;
    value.push_back(line[i]);
  }
  return value;
}

std::size_t Find(std::u16string_view line, std::u16string_view word) {
  for (std::size_t at = 0; at + word.size() <= line.size(); ++at) {
    if (line.substr(at, word.size()) == word) return at;
  }
  return std::u16string_view::npos;
}

void CheckLocalizedKey(std::u16string_view rootKey) {
  const std::optional<std::u16string> key = ravuninst::LocalizedStringsKeyFor(rootKey);
  const std::size_t backslash = rootKey.rfind(u'\\');
  const std::u16string expected =
      std::u16string(backslash == std::u16string_view::npos ? rootKey : rootKey.substr(0, backslash)) +
      u"\\LocalizedStrings";
  FUZZ_CHECK(key.has_value() == (expected.size() <= kOptionValueLimit));
  if (key) FUZZ_CHECK(*key == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string line = fuzz::Widen(fuzz::AsText(data, size));
  const ravuninst::RootOptions options = ravuninst::ParseRootOptions(line);

  std::u16string rootKey = ravuninst::kDefaultRootKey;
  if (const std::size_t at = Find(line, u"/rootkey="); at != std::u16string::npos) {
    const std::size_t start = at + 9;
    rootKey = start < line.size() && line[start] == u'"' ? ValueFrom(line, start + 1, u'"')
                                                          : ValueFrom(line, start, u' ');
  }
  std::u16string rootDir;
  bool complete = true;
  if (const std::size_t at = Find(line, u"/rootdir="); at != std::u16string::npos) {
    const std::size_t start = at + 9;
    if (start < line.size() && line[start] == u'"') {
      rootDir = ValueFrom(line, start + 1, u'"');
    } else {
      complete = false;
    }
  }
  FUZZ_CHECK(options.rootKey == rootKey);
  FUZZ_CHECK(options.rootDir == rootDir);
  FUZZ_CHECK(options.complete == complete);
  FUZZ_CHECK(options.rootKey.size() <= kOptionValueLimit);
  FUZZ_CHECK(options.rootDir.size() <= kOptionValueLimit);

  CheckLocalizedKey(options.rootKey);
  CheckLocalizedKey(line);  // any length

  const ravuninst::ModeEntry* mode = ravuninst::SelectMode(line);
  const ravuninst::ModeEntry* expectedMode = nullptr;
  for (const ravuninst::ModeEntry& row : ravuninst::kModeTable) {
    if (fuzz::Contains<char16_t>(line, row.keyword)) {
      expectedMode = &row;
      break;
    }
  }
  FUZZ_CHECK(mode == expectedMode);
  const bool driverMode = ravuninst::HasDriverKeyword(line);
  FUZZ_CHECK(driverMode == fuzz::Contains<char16_t>(line, u"driver"));

  // The engine's command line, for both engines.
  for (const bool wow64 : {false, true}) {
    const std::u16string command = ravuninst::EngineCommandLine(options.rootDir, wow64, driverMode);
    const std::u16string engine = wow64 ? u"ravengine64.exe" : u"ravengine32.exe";
    std::u16string quotedDir = options.rootDir;
    for (std::size_t i = options.rootDir.size(); i > 0 && options.rootDir[i - 1] == u'\\'; --i) quotedDir += u'\\';
    FUZZ_CHECK(command == u"\"" + options.rootDir + u"\\" + engine + u"\" uninstall \"" + quotedDir + u"\" " +
                              (driverMode ? u"RavDrv" : u""));
    std::size_t quotes = 0;
    for (const char16_t c : command) quotes += c == u'"';
    FUZZ_CHECK(quotes == 4);
  }
  return 0;
}
