#pragma once
// The device-installation requests (the platform's DI_FUNCTION codes) that
// the co-installer knows by name, and the three it acts on.
#include <cstdint>

namespace coinstaller {

inline constexpr std::uint32_t kDifInstallDevice = 0x02;
inline constexpr std::uint32_t kDifRemove = 0x05;
inline constexpr std::uint32_t kDifNewDeviceWizardFinishInstall = 0x1E;

enum class RequestHandler { LogOnly, InstallDevice, RemoveDevice, FinishInstall };

// The platform's name of the request, or "?????" for a code without one.
const char* DifName(std::uint32_t code);

RequestHandler HandlerFor(std::uint32_t code);

}  // namespace coinstaller
