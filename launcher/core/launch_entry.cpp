#include "launcher/core/launch_entry.h"

#include <vector>

namespace launcher {

void SplitLaunchEntry(char* value, const char** arguments) {
  *arguments = nullptr;
  std::size_t quotes = 0;
  bool insideQuotes = false;
  std::size_t p = 0;
  for (; value[p] != '\0'; ++p) {
    const char c = value[p];
    if (c == '"') {
      ++quotes;
      insideQuotes = !insideQuotes;
      continue;
    }
    if (quotes > 0) value[p - quotes] = c;
    if (!insideQuotes && c == ' ') {
      *arguments = value + p + 1;
      value[p - quotes] = '\0';
      return;
    }
  }
  value[p - quotes] = '\0';
}

LaunchEntry SplitLaunchEntry(std::string_view value) {
  std::vector<char> buffer(value.begin(), value.end());
  buffer.push_back('\0');
  const char* arguments = nullptr;
  SplitLaunchEntry(buffer.data(), &arguments);
  LaunchEntry entry;
  entry.command = buffer.data();
  if (arguments != nullptr) entry.arguments = std::string(arguments);
  return entry;
}

bool ErrorCheckingDisabled(std::string_view value) {
  return !value.empty() && (value.front() == 'n' || value.front() == 'N');
}

std::string LaunchKey(int index) { return "FILE" + std::to_string(index); }

std::optional<std::string> ProgramPath(std::string_view stagingDirectory, std::string_view command) {
  std::string path;
  path.reserve(stagingDirectory.size() + 1 + command.size());
  path.append(stagingDirectory).append("\\").append(command);
  if (path.size() >= kCommandBufferSize) return std::nullopt;
  return path;
}

std::optional<std::string> CommandLineText(const std::optional<std::string>& entryArguments,
                                           std::string_view argumentText) {
  std::string text = " ";
  if (entryArguments) text.append(*entryArguments);
  text.append(" ").append(argumentText);
  if (text.size() >= kCommandBufferSize) return std::nullopt;
  return text;
}

}  // namespace launcher
