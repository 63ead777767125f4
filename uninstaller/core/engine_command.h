#pragma once
// How the setup engine is started for the uninstall.
#include <string>
#include <string_view>

namespace ravuninst {

// "ravengine64.exe" for a 32-bit process on 64-bit Windows, else "ravengine32.exe".
std::u16string_view EngineFileName(bool wow64);

// "<rootDir>\<engine>" uninstall "<rootDir>" <RavDrv or nothing>
std::u16string EngineCommandLine(std::u16string_view rootDir, bool wow64, bool driverMode);

}  // namespace ravuninst
