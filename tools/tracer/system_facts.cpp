#include "tools/tracer/system_facts.h"

#include <cstdio>

#include "common/win_resources.h"
#include "common/wide_utf8.h"
#include "tools/tracer/file_facts.h"
#include "tools/tracer/registry_dump.h"

namespace tracer {
namespace {

constexpr wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

std::string ArchitectureName(WORD architecture) {
  switch (architecture) {
    case PROCESSOR_ARCHITECTURE_INTEL: return "x86";
    case PROCESSOR_ARCHITECTURE_AMD64: return "x64";
    case PROCESSOR_ARCHITECTURE_IA64: return "Itanium";
    case 12: return "ARM64";  // PROCESSOR_ARCHITECTURE_ARM64
  }
  return "architecture " + std::to_string(architecture);
}

bool RunsUnderWow64() {
  using IsWow64ProcessCall = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64 = reinterpret_cast<IsWow64ProcessCall>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

WindowsVersion RealWindowsVersion() {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionCall>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (rtlGetVersion == nullptr || rtlGetVersion(&info) != 0) {
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
  }
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.szCSDVersion};
}

bool Is64BitWindows() { return sizeof(void*) == 8 || RunsUnderWow64(); }

std::vector<RegistryView> RegistryViews() {
  if (!Is64BitWindows()) return {{0, "registry"}};
  return {{KEY_WOW64_64KEY, "64-bit view"}, {KEY_WOW64_32KEY, "32-bit view"}};
}

REGSAM NativeRegistryView() { return Is64BitWindows() ? KEY_WOW64_64KEY : 0; }

std::wstring WindowsDirectory() {
  wchar_t path[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : L"C:\\Windows";
}

std::wstring NativeSystemDirectory() { return WindowsDirectory() + L"\\System32"; }

std::vector<std::string> WindowsFactLines() {
  std::vector<std::string> lines;
  const WindowsVersion version = RealWindowsVersion();
  std::string line = "Windows " + std::to_string(version.major) + "." + std::to_string(version.minor) + " build " +
                     std::to_string(version.build);
  if (!version.servicePack.empty()) line += ", " + rav::WideToUtf8(version.servicePack);
  lines.push_back(line);
  for (const wchar_t* name : {L"ProductName", L"EditionID", L"DisplayVersion", L"CurrentBuildNumber"}) {
    const rav::Result<std::wstring> value =
        ReadRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, name, NativeRegistryView());
    if (value) lines.push_back(rav::WideToUtf8(name) + ": " + rav::WideToUtf8(*value));
  }
  SYSTEM_INFO system = {};
  GetNativeSystemInfo(&system);
  lines.push_back("processor architecture: " + ArchitectureName(system.wProcessorArchitecture) +
                  (Is64BitWindows() ? " (64-bit Windows)" : " (32-bit Windows)"));
  lines.push_back(std::string("ravtrace: a ") + (sizeof(void*) == 8 ? "64" : "32") + "-bit program" +
                  (RunsUnderWow64() ? " under WOW64" : ""));
  lines.push_back("Windows directory: " + rav::WideToUtf8(WindowsDirectory()));
  lines.push_back("ANSI code page: " + std::to_string(GetACP()));
  DWORD session = 0;
  if (ProcessIdToSessionId(GetCurrentProcessId(), &session)) lines.push_back("session: " + std::to_string(session));
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  SYSTEMTIME local = {};
  GetLocalTime(&local);
  char localText[40];
  std::snprintf(localText, sizeof localText, "%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay,
                local.wHour, local.wMinute, local.wSecond);
  lines.push_back("bundle made: " + FormatUtcTime(now) + " (local time " + localText + ")");
  return lines;
}

}  // namespace tracer
