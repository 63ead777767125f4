#pragma once
// launcher.ini: its option values, its launch entries, and the texts the
// launch loop forms from an entry.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// An INI value is read into 260 bytes, so at most 259 characters are seen.
inline constexpr std::size_t kEntryBufferSize = 260;
// Program path and command-line text live in 1,024-byte buffers.
inline constexpr std::size_t kCommandBufferSize = 1024;

// Splits a launch entry in place: the command ends at the first blank outside
// double quotes and loses its quotes; `arguments` points just after that
// blank (the rest of the value, unchanged) or is null when there is none.
void SplitLaunchEntry(char* value, const char** arguments);

struct LaunchEntry {
  std::string command;
  std::optional<std::string> arguments;
};
LaunchEntry SplitLaunchEntry(std::string_view value);

// CHECKERROR: only a first letter "n" or "N" turns error checking off.
bool ErrorCheckingDisabled(std::string_view value);

// "FILE%d" for the entry index.
std::string LaunchKey(int index);

// "<staging>\<command>", or nothing when it does not fit its buffer.
std::optional<std::string> ProgramPath(std::string_view stagingDirectory, std::string_view command);

// " <entry arguments> <argument text>", or nothing when it does not fit.
std::optional<std::string> CommandLineText(const std::optional<std::string>& entryArguments,
                                           std::string_view argumentText);

}  // namespace launcher
