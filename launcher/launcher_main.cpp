#include "launcher/launcher_main.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "launcher/ansi_path.h"
#include "launcher/core/arguments.h"
#include "launcher/console_window.h"
#include "launcher/debug_print.h"
#include "launcher/launch_list.h"
#include "launcher/core/launcher_paths.h"
#include "launcher/core/usage_text.h"

namespace launcher {

ExitCode LauncherMain(int argc, char** argv) {
  HideConsoleWindow();

  wchar_t executable[kMaxPathChars] = {};
  const DWORD length = GetModuleFileNameW(nullptr, executable, kMaxPathChars);
  if (length == 0 || length >= kMaxPathChars) {
    // The path was cut: a directory taken from it would be the wrong one.
    DebugPrint("Launcher: The executable path does not fit in %d characters.", static_cast<int>(kMaxPathChars - 1));
    return ExitCode::kNoOwnDirectory;
  }
  // The package is read and copied with the narrow calls: they must reach
  // this very directory, not a best-fit twin of it.
  const std::optional<std::string> narrowExecutable = AnsiPath(std::wstring(executable, length));
  if (!narrowExecutable) {
    DebugPrint("Launcher: The package's path cannot be held in the ANSI code page, nor its short name; nothing is "
               "staged or started.");
    return ExitCode::kNoAnsiName;
  }
  if (narrowExecutable->size() >= kMaxPathChars) {
    DebugPrint("Launcher: The executable path does not fit in %d characters.", static_cast<int>(kMaxPathChars - 1));
    return ExitCode::kNoOwnDirectory;
  }
  const std::optional<std::string> directory = LauncherDirectory(*narrowExecutable);
  if (!directory) return ExitCode::kNoOwnDirectory;
  const std::optional<std::string> iniPath = IniPath(*directory);
  if (!iniPath) {
    DebugPrint("Launcher: The path of %s\\launcher.ini does not fit in %d characters.", directory->c_str(),
               static_cast<int>(kMaxPathChars));
    return ExitCode::kNoOwnDirectory;
  }

  std::string argumentText;
  for (int i = 1; i < argc; ++i) {
    if (IsHelpSwitch(argv[i])) {
      std::fputs(kUsageText, stdout);
      std::fflush(stdout);
      return ExitCode::kHelpShown;
    }
    DebugPrint("argv[%d]: %s\n", i, argv[i]);
    std::string argument = argv[i];
    if (NeedsQuotes(argument)) {
      DebugPrint("argv[%d] contains blank space.", i);
      argument = QuoteArgument(argument);
      DebugPrint("Commandline argument after adding quotes: %s", argument.c_str());
    }
    if (!AppendArgument(argumentText, argument)) {
      // Starting the setup without a switch the user gave could do the wrong
      // thing (an interactive run instead of a silent one, say): stop here.
      DebugPrint("Launcher: The arguments do not fit in %d characters; nothing is started.",
                 static_cast<int>(kArgumentTextCapacity - 1));
      return ExitCode::kArgumentsTooLong;
    }
  }
  return RunLaunchList(argumentText, *iniPath, *directory);
}

}  // namespace launcher
