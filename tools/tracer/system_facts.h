#pragma once
// Facts about this Windows for the support bundle, and the places the
// bundle reads from. A 32-bit ravtrace on 64-bit Windows reads the 64-bit
// registry view and the real System32 explicitly.
#include <windows.h>

#include <string>
#include <vector>

namespace tracer {

struct WindowsVersion {
  DWORD major = 0;
  DWORD minor = 0;
  DWORD build = 0;
  std::wstring servicePack;
};

// The version Windows really has (RtlGetVersion: GetVersionEx answers 6.2
// to programs without a manifest on Windows 8.1 and later).
WindowsVersion RealWindowsVersion();

// True on 64-bit Windows, whatever this build of ravtrace is.
bool Is64BitWindows();

// The registry views that exist: the 64-bit and the 32-bit one on 64-bit
// Windows, the one view (0) otherwise.
struct RegistryView {
  REGSAM flag;
  const char* name;  // for the bundle: "64-bit view", "32-bit view", "registry"
};
std::vector<RegistryView> RegistryViews();
// The view the system's own keys are read in: the 64-bit one where it exists.
REGSAM NativeRegistryView();

// The shared Windows directory (on a terminal server too), and the real
// System32 below it.
std::wstring WindowsDirectory();
std::wstring NativeSystemDirectory();

// The Windows lines of the bundle: version, edition, architecture, code
// page and the time the bundle was made.
std::vector<std::string> WindowsFactLines();

}  // namespace tracer
