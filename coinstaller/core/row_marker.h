#pragma once
// How the co-installer tells a ROW ("rest of world") adapter: the AddReg line
// of the device's INF install section adds the country-code section cc.reg.
#include <string>
#include <string_view>

namespace coinstaller {

// The install section's name: the driver key's "InfSection" followed directly
// by its platform decoration "InfSectionExt" (".NTamd64").
std::string InstallSectionName(std::string_view section, std::string_view extension);

// The INF's own spelling decides: "cc.reg" anywhere in the line, case-sensitive.
bool AddRegLineMarksRowCard(std::string_view addRegLine);

}  // namespace coinstaller
