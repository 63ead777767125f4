#include "uninstaller/core/command_line.h"

namespace ravuninst {
namespace {

// The value at `start`: up to `end` (or the end of the line), looked for
// within the first 255 characters, which is also as much as is taken.
std::u16string ValueUntil(std::u16string_view commandLine, std::size_t start, char16_t end) {
  const std::u16string_view window = commandLine.substr(std::min(start, commandLine.size()), kOptionValueLimit);
  return std::u16string(window.substr(0, window.find(end)));
}

}  // namespace

RootOptions ParseRootOptions(std::u16string_view commandLine) {
  RootOptions options;
  constexpr std::u16string_view kRootKey = u"/rootkey=";
  constexpr std::u16string_view kRootDir = u"/rootdir=";

  if (const std::size_t at = commandLine.find(kRootKey); at != std::u16string_view::npos) {
    const std::size_t start = at + kRootKey.size();
    if (start < commandLine.size() && commandLine[start] == u'"') {
      options.rootKey = ValueUntil(commandLine, start + 1, u'"');
    } else {
      options.rootKey = ValueUntil(commandLine, start, u' ');
    }
  }
  if (const std::size_t at = commandLine.find(kRootDir); at != std::u16string_view::npos) {
    const std::size_t start = at + kRootDir.size();
    if (start >= commandLine.size() || commandLine[start] != u'"') {
      options.complete = false;
      return options;
    }
    options.rootDir = ValueUntil(commandLine, start + 1, u'"');
  }
  return options;
}

std::optional<std::u16string> LocalizedStringsKeyFor(std::u16string_view rootKey) {
  std::u16string key(rootKey.substr(0, rootKey.rfind(u'\\')));
  key.append(u"\\LocalizedStrings");
  if (key.size() > kOptionValueLimit) return std::nullopt;
  return key;
}

const ModeEntry* SelectMode(std::u16string_view commandLine) {
  for (const ModeEntry& entry : kModeTable) {
    if (commandLine.find(entry.keyword) != std::u16string_view::npos) return &entry;
  }
  return nullptr;
}

bool HasDriverKeyword(std::u16string_view commandLine) { return commandLine.find(u"driver") != std::u16string_view::npos; }

}  // namespace ravuninst
