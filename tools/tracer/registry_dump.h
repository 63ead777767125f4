#pragma once
// Registry keys as lines of the support bundle. Keys are opened for
// reading only, in the view asked for (KEY_WOW64_32KEY, KEY_WOW64_64KEY, or
// 0 for the program's own).
#include <windows.h>

#include <string>
#include <vector>

#include "common/core/result.h"

namespace tracer {

// Each value of the key as one line (registry_text.h), in the key's order;
// at most 256 of them, then a line that counts the rest. Fails with the
// error of the open (2: no such key).
rav::Result<std::vector<std::string>> KeyValueLines(HKEY root, const std::wstring& path, REGSAM view);

// One value's type and bytes (at most 1 MiB); fails when the key or value
// is missing.
struct RegistryData {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};
rav::Result<RegistryData> ReadRegistryValue(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view);

// One string value (REG_SZ or REG_EXPAND_SZ, unexpanded), up to its first
// NUL; fails when the key or value is missing or of another type.
rav::Result<std::wstring> ReadRegistryString(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view);

// The names of a key's subkeys.
std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path, REGSAM view);

}  // namespace tracer
