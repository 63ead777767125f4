#include "tools/tracer/core/record_paths.h"

#include "common/core/ascii_case.h"

namespace tracer {
namespace {

// The argument at the start of `text`: within quotes, or up to a blank.
std::string ArgumentAt(std::string_view text) {
  if (!text.empty() && text.front() == '"') {
    text.remove_prefix(1);
    return std::string(text.substr(0, text.find('"')));
  }
  return std::string(text.substr(0, text.find_first_of(" \t")));
}

}  // namespace

std::string ProgramOfCommandLine(std::string_view commandLine) {
  const std::size_t start = commandLine.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string() : ArgumentAt(commandLine.substr(start));
}

std::string RootDirOf(std::string_view commandLine) {
  constexpr std::string_view kOption = "/rootdir=";
  const std::size_t at = rav::AsciiLowered(commandLine).find(kOption);
  return at == std::string::npos ? std::string() : ArgumentAt(commandLine.substr(at + kOption.size()));
}

std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string_view::npos;
}

bool NamesOurCoInstaller(const std::vector<std::string>& coInstallers) {
  for (const std::string& entry : coInstallers) {
    const std::string_view file = std::string_view(entry).substr(0, entry.find(','));
    const std::size_t slash = file.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? file : file.substr(slash + 1);
    if (rav::EqualIgnoringAsciiCase(name, "ravcoinst.dll")) return true;
  }
  return false;
}

}  // namespace tracer
