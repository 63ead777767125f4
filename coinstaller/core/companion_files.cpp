#include "coinstaller/core/companion_files.h"

namespace coinstaller {
namespace {

std::optional<std::string> CommandWithin(std::size_t buffer, std::string_view head, std::string_view argument) {
  std::string command(head);
  command.append(argument);
  if (command.size() >= buffer) return std::nullopt;
  return command;
}

}  // namespace

std::string_view UserInterfaceLibrary(std::uint16_t architecture) {
  return architecture == kArchitectureAmd64 ? "ravihvui64.dll" : "ravihvui.dll";
}

std::string_view ServiceLibrary(std::uint16_t architecture) {
  return architecture == kArchitectureAmd64 ? "ravihvsrv64.dll" : "ravihvsrv.dll";
}

std::optional<std::string> UnregisterCommand(std::string_view systemDirectory, std::string_view library) {
  std::string head = "\"";
  head.append(systemDirectory).append("\\regsvr32.exe\" /u /s ");
  return CommandWithin(kUnregisterCommandBuffer, head, library);
}

std::optional<std::string> CleanupCommand(std::string_view backupPath) {
  return CommandWithin(kCleanupCommandBuffer, "RUNDLL32.EXE SETUPAPI.DLL,InstallHinfSection Cleanup 132 ", backupPath);
}

}  // namespace coinstaller
