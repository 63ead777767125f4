#pragma once
// Setting, reading and deleting registry values from tests. Each call opens
// and closes its key; `view` may add KEY_WOW64_32KEY or KEY_WOW64_64KEY.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

[[nodiscard]] bool SetRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                                    const void* data, DWORD size, REGSAM view = 0);
[[nodiscard]] bool SetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value,
                            REGSAM view = 0);
// A string value with its terminating NUL, as RegSetValueEx is usually called.
[[nodiscard]] bool SetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value,
                             DWORD type = REG_SZ, REGSAM view = 0);

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name,
                                               REGSAM view = 0);
std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view = 0);
bool KeyExists(HKEY root, const std::wstring& key, REGSAM view = 0);

bool DeleteRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view = 0);
// Deletes the key with all its subkeys; true also when it was not there.
bool DeleteRegistryTree(HKEY root, const std::wstring& key, REGSAM view = 0);

// Deletes a key tree when the test starts and again when it ends.
class ScopedRegistryKey {
 public:
  ScopedRegistryKey(HKEY root, std::wstring key, REGSAM view = 0);
  ~ScopedRegistryKey();
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;
  const std::wstring& key() const { return key_; }

 private:
  HKEY root_;
  std::wstring key_;
  REGSAM view_;
};

}  // namespace testsupport
