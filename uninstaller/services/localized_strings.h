#pragma once
// Every text the uninstaller shows, by number, in the user's language: first
// from override values a driver package may install in the registry, then
// from the program's own string tables (33 languages).
//
// Overrides: HKLM\<localized-strings key>\<module base name>\<primary
// language>\<sublanguage>, value "<number>", for example
// ...\LocalizedStrings\ravuninst\7\1 "4000" for German (Germany).
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/win_resources.h"

namespace ravuninst {

inline constexpr wchar_t kDefaultLocalizedStringsKey[] = L"SOFTWARE\\Corvane\\802.11\\LocalizedStrings";

// Stores the key below HKEY_LOCAL_MACHINE (at most 255 characters are kept).
void SetLocalizedStringsKey(const std::u16string& key);

// The text in the user's language, or none. `module` null means the
// program's own file.
rav::UniqueMallocText LoadLocalizedString(HMODULE module, std::uint16_t number);
rav::UniqueMallocText LoadRegistryString(HMODULE module, std::uint16_t number, std::uint16_t language);
rav::UniqueMallocText LoadResourceString(HMODULE module, std::uint16_t number, std::uint16_t language);

// The module's file name without directory and extension; nothing when its
// path cannot be read or has no backslash.
std::optional<std::string> ModuleBaseName(HMODULE module);

}  // namespace ravuninst
