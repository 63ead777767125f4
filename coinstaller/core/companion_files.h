#pragma once
// The IHV companion libraries that removal unregisters and deletes, named by
// the processor architecture, and the command lines removal forms.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace coinstaller {

// PROCESSOR_ARCHITECTURE_AMD64, as GetSystemInfo reports it.
inline constexpr std::uint16_t kArchitectureAmd64 = 9;

inline constexpr std::size_t kUnregisterCommandBuffer = 260;
inline constexpr std::size_t kCleanupCommandBuffer = 4096;

std::string_view UserInterfaceLibrary(std::uint16_t architecture);
std::string_view ServiceLibrary(std::uint16_t architecture);

// "\"<system directory>\regsvr32.exe\" /u /s <library>": the platform's
// program by its full path (a bare "regsvr32" would be looked for in the
// host program's and the current directory first), the library by its bare
// name, which regsvr32 finds in the system directory. Nothing when it does
// not fit its buffer.
std::optional<std::string> UnregisterCommand(std::string_view systemDirectory, std::string_view library);

// The INF cleanup command for the backup; it is logged, never started.
std::optional<std::string> CleanupCommand(std::string_view backupPath);

}  // namespace coinstaller
