#pragma once
// What the demo looks at on the machine between its steps.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace demo {

// The "Country" value of the sample adapter's driver key, as stored.
struct CountryValue {
  DWORD type = REG_NONE;
  std::string data;  // every byte
};
// Nothing when there is no sample adapter; an empty `type` when it has no
// "Country" value.
std::optional<CountryValue> SampleAdapterCountry();

// A file in the 64-bit system directory (a 32-bit build of this program
// would otherwise be shown the 32-bit one).
bool SystemFileExists(const std::wstring& name);

// The lines of a text file from byte `from` on; `from` moves to its end.
std::vector<std::string> NewLines(const std::filesystem::path& file, std::uintmax_t& from);
// The last `count` lines of a text file.
std::vector<std::string> LastLines(const std::filesystem::path& file, std::size_t count);

// `view`: KEY_WOW64_32KEY or KEY_WOW64_64KEY, or 0 for this program's own.
std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view = 0);
std::optional<DWORD> RegistryNumber(HKEY root, const std::wstring& key, const std::wstring& name);

}  // namespace demo
