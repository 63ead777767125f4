#pragma once
// Whether the adapter is a ROW card: its INF install section's AddReg line
// adds cc.reg. When the line cannot be sized (no such line or section, or no
// INF) the adapter counts as a ROW card.
#include <windows.h>
#include <setupapi.h>

namespace coinstaller {

// `inf` may be INVALID_HANDLE_VALUE when the INF could not be opened.
bool IsROWCard(HKEY driverKey, HINF inf);

}  // namespace coinstaller
