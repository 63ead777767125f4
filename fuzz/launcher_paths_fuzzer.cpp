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
// come after the first character. A directory (without trailing separators,
// not empty) contains itself and every path that continues it after a
// separator, and no path that continues it with any other character; a
// staging sibling is "<base>.<n>" for n in 1..99 when it fits; lock names
// are "Local\RavWLSetup." and 16 hex digits.
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

  // Containment, with the executable's directory as the "directory".
  std::u16string directory16(iniBase.begin(), iniBase.end());
  while (!directory16.empty() && (directory16.back() == u'\\' || directory16.back() == u'/')) directory16.pop_back();
  const std::u16string rest(command.begin(), command.end());
  if (!directory16.empty()) {
    FUZZ_CHECK(launcher::IsSameOrBelow(directory16, directory16));
    FUZZ_CHECK(launcher::IsSameOrBelow(directory16 + u"\\" + rest, directory16));
    if (!rest.empty() && rest[0] != u'\\' && rest[0] != u'/') {
      FUZZ_CHECK(!launcher::IsSameOrBelow(directory16 + rest, directory16));
    }
    FUZZ_CHECK(!launcher::IsSameOrBelow(directory16.substr(0, directory16.size() - 1), directory16));
  }
  FUZZ_CHECK(!launcher::IsSameOrBelow(rest, u""));

  const int n = static_cast<int>(padding % 128);
  const std::optional<std::string> sibling = launcher::StagingSibling(stagingBase, n, launcher::kMaxPathChars);
  const std::string siblingWhole = std::string(stagingBase) + "." + std::to_string(n);
  FUZZ_CHECK(sibling.has_value() ==
             (n >= 1 && n <= launcher::kMaxStagingSiblings && siblingWhole.size() <= launcher::kMaxPathChars));
  if (sibling) FUZZ_CHECK(*sibling == siblingWhole);

  const std::u16string lock = launcher::StagingLockName(directory16);
  FUZZ_CHECK(lock.size() == 33 && lock.compare(0, 17, u"Local\\RavWLSetup.") == 0);
  for (std::size_t i = 17; i < lock.size(); ++i) {
    FUZZ_CHECK((lock[i] >= u'0' && lock[i] <= u'9') || (lock[i] >= u'A' && lock[i] <= u'F'));
  }
  return 0;
}
