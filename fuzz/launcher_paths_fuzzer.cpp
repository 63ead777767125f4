// The paths and the command line the launcher forms: its directory from its
// own path, launcher.ini beside it, the staging directory under the
// temporary directory, the staged program's path and the command-line text.
//
// Input: two bytes of padding count (that many 'p' in front of the
// executable's path, so short inputs reach the 260-character limit), then
// NUL-separated fields: executable path, temporary directory, entry command,
// argument text, and, when a fifth field is present, the entry's arguments.
//
// Properties: each text either fits its buffer and is exactly its parts
// joined, or is refused because it would not fit; none is ever cut. The
// directory is the executable's path up to its last backslash, which must
// come after the first character. The directories above a path start with
// the path itself and each is the one before it cut at a separator, shorter
// each time; a staging sibling is "<base>.<n>" for n in 1..99 when it fits;
// lock names are "Local\RavWLSetup.", 8 hex digits, "." and 16 hex digits,
// and read back as the identity they were made from.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "launcher/core/launch_entry.h"
#include "launcher/core/launcher_paths.h"
#include "launcher/core/staging_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::size_t padding = fuzz::TakeCount(input, 0x1FF);
  const std::vector<std::string_view> fields = fuzz::AllFields(input);
  auto field = [&fields](std::size_t i) { return i < fields.size() ? fields[i] : std::string_view(); };
  const std::string executable = std::string(padding, 'p') + std::string(field(0));
  const std::string_view temporary = field(1);
  const std::string_view command = field(2);
  const std::string_view argumentText = field(3);
  const std::optional<std::string> entryArguments =
      fields.size() > 4 ? std::optional<std::string>(fields[4]) : std::nullopt;

  const std::optional<std::string> directory = launcher::LauncherDirectory(executable);
  const std::size_t slash = executable.rfind('\\');
  if (slash == std::string::npos || slash == 0) {
    FUZZ_CHECK(!directory);
  } else {
    FUZZ_CHECK(directory.has_value());
    FUZZ_CHECK(!directory->empty());
    FUZZ_CHECK(executable.compare(0, directory->size(), *directory) == 0);
    FUZZ_CHECK(executable[directory->size()] == '\\');
    FUZZ_CHECK(executable.find('\\', directory->size() + 1) == std::string::npos);
  }

  // launcher.ini beside the launcher (any directory text, the derived one
  // when there is one).
  const std::string_view iniBase = directory ? std::string_view(*directory) : std::string_view(executable);
  const std::optional<std::string> ini = launcher::IniPath(iniBase);
  const std::string iniWhole = std::string(iniBase) + "\\launcher.ini";
  FUZZ_CHECK(ini.has_value() == (iniWhole.size() <= launcher::kMaxPathChars));
  if (ini) FUZZ_CHECK(*ini == iniWhole);

  const std::optional<std::string> staging = launcher::StagingDirectory(temporary);
  const std::string stagingWhole = std::string(temporary) + "RavWLSetup";
  FUZZ_CHECK(staging.has_value() == (stagingWhole.size() <= launcher::kMaxPathChars));
  if (staging) FUZZ_CHECK(*staging == stagingWhole);

  const std::string_view stagingBase = staging ? std::string_view(*staging) : temporary;
  const std::optional<std::string> program = launcher::ProgramPath(stagingBase, command);
  const std::string programWhole = std::string(stagingBase) + "\\" + std::string(command);
  FUZZ_CHECK(program.has_value() == (programWhole.size() < launcher::kCommandBufferSize));
  if (program) FUZZ_CHECK(*program == programWhole);

  const std::optional<std::string> commandLine = launcher::CommandLineText(entryArguments, argumentText);
  const std::string commandLineWhole = " " + entryArguments.value_or("") + " " + std::string(argumentText);
  FUZZ_CHECK(commandLine.has_value() == (commandLineWhole.size() < launcher::kCommandBufferSize));
  if (commandLine) FUZZ_CHECK(*commandLine == commandLineWhole);

  // The directories above the executable's path.
  const std::u16string path16(executable.begin(), executable.end());
  const std::vector<std::u16string> parents = launcher::PathAndParents(path16);
  FUZZ_CHECK(!parents.empty());
  FUZZ_CHECK(path16.compare(0, parents[0].size(), parents[0]) == 0);
  for (std::size_t i = 1; i < parents.size(); ++i) {
    FUZZ_CHECK(parents[i].size() < parents[i - 1].size());
    FUZZ_CHECK(parents[i - 1].compare(0, parents[i].size(), parents[i]) == 0);
    const char16_t cut = parents[i - 1][parents[i].size()];
    const char16_t last = parents[i].back();
    FUZZ_CHECK(cut == u'\\' || cut == u'/' || last == u'\\' || last == u'/');
  }

  const int n = static_cast<int>(padding % 128);
  const std::optional<std::string> sibling = launcher::StagingSibling(stagingBase, n, launcher::kMaxPathChars);
  const std::string siblingWhole = std::string(stagingBase) + "." + std::to_string(n);
  FUZZ_CHECK(sibling.has_value() ==
             (n >= 1 && n <= launcher::kMaxStagingSiblings && siblingWhole.size() <= launcher::kMaxPathChars));
  if (sibling) FUZZ_CHECK(*sibling == siblingWhole);

  std::string_view numbers = input;
  const launcher::DirectoryIdentity identity{fuzz::TakeInteger<std::uint32_t>(numbers),
                                             fuzz::TakeInteger<std::uint64_t>(numbers)};
  const std::u16string lock = launcher::StagingLockName(identity);
  FUZZ_CHECK(lock.size() == 42 && lock.compare(0, 17, u"Local\\RavWLSetup.") == 0 && lock[25] == u'.');
  const std::string digits(lock.begin() + 17, lock.end());
  FUZZ_CHECK(std::strtoul(digits.substr(0, 8).c_str(), nullptr, 16) == identity.volumeSerial);
  FUZZ_CHECK(std::strtoull(digits.substr(9).c_str(), nullptr, 16) == identity.fileIndex);
  for (std::size_t i = 17; i < lock.size(); ++i) {
    if (i == 25) continue;
    FUZZ_CHECK((lock[i] >= u'0' && lock[i] <= u'9') || (lock[i] >= u'A' && lock[i] <= u'F'));
  }
  return 0;
}
