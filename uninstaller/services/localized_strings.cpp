#include "uninstaller/services/localized_strings.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>

#include "common/wide_text.h"
#include "common/win_resources.h"
#include "uninstaller/services/platform_probes.h"
#include "uninstaller/services/core/string_tables.h"

namespace ravuninst {
namespace {

constexpr std::size_t kKeyCapacity = 256;  // characters, terminator included
wchar_t localizedStringsKey[kKeyCapacity] = {};

std::uint16_t UserLanguage() {
  std::uint16_t language = GetUserDefaultLangID();
  // Looked up at run time: systems before Windows 2000 do not have it.
  rav::UniqueLibrary kernel(LoadLibraryW(L"kernel32.dll"));
  if (kernel) {
    using UiLanguageFunction = LANGID(WINAPI*)();
    const auto uiLanguage = reinterpret_cast<UiLanguageFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel.get(), "GetUserDefaultUILanguage")));
    if (uiLanguage != nullptr) language = uiLanguage();
  }
  return language;
}

rav::UniqueHkey OpenLocalizedStringsRoot() {
  rav::UniqueHkey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, localizedStringsKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS) return key;
  RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDefaultLocalizedStringsKey, 0, KEY_READ, key.put());
  return key;
}

rav::UniqueHkey OpenSubkey(HKEY parent, const std::string& name) {
  rav::UniqueHkey key;
  RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, key.put());
  return key;
}

// Reads a value of any type as text: the data and one terminating zero.
rav::UniqueMallocText ReadText(HKEY key, std::uint16_t number) {
  const std::string nameA = std::to_string(number);
  const std::wstring nameW(nameA.begin(), nameA.end());
  const bool wide = IsNtPlatform();
  DWORD size = 0;
  LONG status = wide ? RegQueryValueExW(key, nameW.c_str(), nullptr, nullptr, nullptr, &size)
                     : RegQueryValueExA(key, nameA.c_str(), nullptr, nullptr, nullptr, &size);
  if (status != ERROR_SUCCESS) return {};
  rav::UniqueMallocText text(static_cast<wchar_t*>(std::calloc(2 * static_cast<std::size_t>(size) + 2, 1)));
  if (!text) return {};
  auto* buffer = reinterpret_cast<BYTE*>(text.get());
  status = wide ? RegQueryValueExW(key, nameW.c_str(), nullptr, nullptr, buffer, &size)
                : RegQueryValueExA(key, nameA.c_str(), nullptr, nullptr, buffer, &size);
  if (status != ERROR_SUCCESS) return {};
  // The data need not end in a zero; one goes right after it (the block is
  // large enough for an odd byte count too).
  buffer[size] = 0;
  buffer[size + 1] = 0;
  return text;
}

}  // namespace

void SetLocalizedStringsKey(const std::u16string& key) {
  const std::size_t length = std::min(key.size(), kKeyCapacity - 1);
  std::memcpy(localizedStringsKey, key.data(), length * sizeof(char16_t));
  localizedStringsKey[length] = L'\0';
}

std::optional<std::string> ModuleBaseName(HMODULE module) {
  char path[1040] = {};
  const DWORD length = GetModuleFileNameA(module, path, sizeof path - 1);
  return BaseNameWithoutExtension(std::string_view(path, length));
}

rav::UniqueMallocText LoadRegistryString(HMODULE module, std::uint16_t number, std::uint16_t language) {
  const std::optional<std::string> moduleName = ModuleBaseName(module);
  if (!moduleName) return {};
  const rav::UniqueHkey root = OpenLocalizedStringsRoot();
  if (!root) return {};
  const rav::UniqueHkey moduleKey = OpenSubkey(root.get(), *moduleName);
  if (!moduleKey) return {};
  const rav::UniqueHkey primaryKey = OpenSubkey(moduleKey.get(), std::to_string(PrimaryLanguage(language)));
  if (!primaryKey) return {};
  rav::UniqueHkey subKey = OpenSubkey(primaryKey.get(), std::to_string(SubLanguage(language)));
  if (!subKey && SubLanguage(language) == 1) {
    // The default sublanguage takes whatever variant the package installed.
    char first[257] = {};
    if (RegEnumKeyA(primaryKey.get(), 0, first, sizeof first) == ERROR_SUCCESS) subKey = OpenSubkey(primaryKey.get(), first);
  }
  if (!subKey) return {};
  return ReadText(subKey.get(), number);
}

rav::UniqueMallocText LoadResourceString(HMODULE module, std::uint16_t number, std::uint16_t language) {
  if (module == nullptr) module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */,
                                MAKEINTRESOURCEW(StringBlockId(number)), language);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const char16_t*>(LockResource(loaded));
  if (data == nullptr) return {};
  const std::span<const char16_t> block(data, SizeofResource(module, found) / sizeof(char16_t));
  const std::optional<std::u16string_view> text = FindStringInBlock(block, StringBlockIndex(number));
  if (!text) return {};
  rav::UniqueMallocText copy(static_cast<wchar_t*>(std::malloc((text->size() + 1) * sizeof(wchar_t))));
  if (!copy) return {};
  std::memcpy(copy.get(), text->data(), text->size() * sizeof(char16_t));
  copy.get()[text->size()] = L'\0';
  return copy;
}

rav::UniqueMallocText LoadLocalizedString(HMODULE module, std::uint16_t number) {
  const std::uint16_t user = UserLanguage();
  const std::uint16_t fallback = FallbackLanguage(user);
  constexpr std::uint16_t kEnglish = 0x0409;
  for (std::uint16_t language : {user, fallback, kEnglish}) {
    if (rav::UniqueMallocText text = LoadRegistryString(module, number, language)) return text;
  }
  for (std::uint16_t language : {user, fallback, kEnglish}) {
    if (rav::UniqueMallocText text = LoadResourceString(module, number, language)) return text;
  }
  return {};
}

}  // namespace ravuninst
