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

// "regsvr32 /u /s <library>": the bare name, so the platform's search order
// finds it. Nothing when it does not fit its buffer.
std::optional<std::string> UnregisterCommand(std::string_view library);

// The INF cleanup command for the backup; it is logged, never started.
std::optional<std::string> CleanupCommand(std::string_view backupPath);

}  // namespace coinstaller
