#pragma once
#include <windows.h>

#include <string>

namespace ravuninst {

// Full path of a module's file; no module means the program's own file.
// Raises BasicException 204 when the system gives no path.
std::u16string GetModulePath(HMODULE module);

}  // namespace ravuninst
