#include "testsupport/registry_values.h"

#include "common/win_resources.h"

namespace testsupport {

using rav::UniqueHkey;

bool SetRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
                      DWORD size, REGSAM view) {
  UniqueHkey opened;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, opened.put(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExW(opened.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool SetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value, REGSAM view) {
  return SetRegistryValue(root, key, name, REG_DWORD, &value, sizeof value, view);
}

bool SetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value, DWORD type,
               REGSAM view) {
  return SetRegistryValue(root, key, name, type, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)), view);
}

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name,
                                               REGSAM view) {
  UniqueHkey opened;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.put()) != ERROR_SUCCESS) return std::nullopt;
  RegistryValue value;
  DWORD size = 0;
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &value.type, value.data.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view) {
  const std::optional<RegistryValue> value = ReadRegistryValue(root, key, name, view);
  if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD)) return std::nullopt;
  DWORD number = 0;
  memcpy(&number, value->data.data(), sizeof number);
  return number;
}

bool KeyExists(HKEY root, const std::wstring& key, REGSAM view) {
  UniqueHkey opened;
  return RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.put()) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view) {
  UniqueHkey opened;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE | view, opened.put()) != ERROR_SUCCESS) return false;
  return RegDeleteValueW(opened.get(), name.c_str()) == ERROR_SUCCESS;
}

bool DeleteRegistryTree(HKEY root, const std::wstring& key, REGSAM view) {
  {
    UniqueHkey opened;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS | view, opened.put()) != ERROR_SUCCESS) return true;
    if (RegDeleteTreeW(opened.get(), nullptr) != ERROR_SUCCESS) return false;
  }
  return RegDeleteKeyExW(root, key.c_str(), view, 0) == ERROR_SUCCESS;
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, std::wstring key, REGSAM view)
    : root_(root), key_(std::move(key)), view_(view) {
  DeleteRegistryTree(root_, key_, view_);
}

ScopedRegistryKey::~ScopedRegistryKey() { DeleteRegistryTree(root_, key_, view_); }

}  // namespace testsupport
