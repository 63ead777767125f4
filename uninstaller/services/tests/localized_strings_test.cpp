// Texts by number: the registry overrides, the string tables in 33 languages
// and the order in which they are searched. The tables are linked into this
// program, so it is its own module; its base name names the override key.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "common/wide_text.h"
#include "testsupport/registry_values.h"
#include "uninstaller/services/localized_strings.h"

namespace {

using ravuninst::LoadLocalizedString;
using ravuninst::LoadRegistryString;
using ravuninst::LoadResourceString;

constexpr wchar_t kModule[] = L"localized_strings_test";
constexpr char16_t kAdapterName[] = u"Corvane 802.11ac Dual-Band Wireless USB Adapter";

std::optional<std::u16string> Text(const rav::UniqueMallocText& loaded) {
  if (!loaded) return std::nullopt;
  return std::u16string(rav::as_u16cstr(loaded.get()));
}

// Override values under a key of the test's own, removed afterwards.
class Overrides {
 public:
  explicit Overrides(const std::wstring& suite)
      : key_(L"SOFTWARE\\RavTest\\" + suite + L"\\LocalizedStrings"), cleanup_(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RavTest\\" + suite) {
    ravuninst::SetLocalizedStringsKey(std::u16string(key_.begin(), key_.end()));
  }
  void Set(const std::wstring& languagePath, const std::wstring& number, const std::wstring& text) {
    ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key_ + L"\\" + kModule + L"\\" + languagePath, number, text));
  }
  void SetRaw(const std::wstring& languagePath, const std::wstring& number, DWORD type, const void* data, DWORD size) {
    ASSERT_TRUE(testsupport::SetRegistryValue(HKEY_LOCAL_MACHINE, key_ + L"\\" + kModule + L"\\" + languagePath, number,
                                              type, data, size));
  }
  const std::wstring& key() const { return key_; }

 private:
  std::wstring key_;
  testsupport::ScopedRegistryKey cleanup_;
};

struct Table {
  std::uint16_t language;
  const char* name;
};
constexpr Table kTables[] = {
    {0x0001, "Arabic"},     {0x0002, "Bulgarian"},  {0x0005, "Czech"},      {0x0006, "Danish"},
    {0x0007, "German"},     {0x0008, "Greek"},      {0x000A, "Spanish"},    {0x000B, "Finnish"},
    {0x000C, "French"},     {0x000D, "Hebrew"},     {0x000E, "Hungarian"},  {0x0010, "Italian"},
    {0x0011, "Japanese"},   {0x0012, "Korean"},     {0x0013, "Dutch"},      {0x0014, "Norwegian"},
    {0x0015, "Polish"},     {0x0016, "Portuguese"}, {0x0018, "Romanian"},   {0x0019, "Russian"},
    {0x001A, "Croatian"},   {0x001B, "Slovak"},     {0x001D, "Swedish"},    {0x001E, "Thai"},
    {0x001F, "Turkish"},    {0x0024, "Slovenian"},  {0x0025, "Estonian"},   {0x0026, "Latvian"},
    {0x0027, "Lithuanian"}, {0x0404, "Chinese (Traditional)"}, {0x0409, "English"},
    {0x0416, "Portuguese (Brazil)"}, {0x0804, "Chinese (Simplified)"},
};

TEST(StringTables, EveryTableHoldsEveryTextAndTheTokenWhereEnglishHasIt) {
  const std::u16string token = u"%OEM_UTIL_NAME%";
  for (const Table& table : kTables) {
    SCOPED_TRACE(table.name);
    for (std::uint16_t number = 4000; number <= 4015; ++number) {
      const std::optional<std::u16string> english = Text(LoadResourceString(nullptr, number, 0x0409));
      const std::optional<std::u16string> text = Text(LoadResourceString(nullptr, number, table.language));
      ASSERT_TRUE(english && text) << number;
      EXPECT_FALSE(text->empty()) << number;
      const bool englishHasToken = english->find(token) != std::u16string::npos;
      const std::size_t at = text->find(token);
      EXPECT_EQ(at != std::u16string::npos, englishHasToken) << number;
      if (at != std::u16string::npos) {
        EXPECT_EQ(text->find(token, at + 1), std::u16string::npos) << number;
      }
    }
    const std::optional<std::u16string> utility = Text(LoadResourceString(nullptr, 7301, table.language));
    const std::optional<std::u16string> adapter = Text(LoadResourceString(nullptr, 7303, table.language));
    ASSERT_TRUE(utility && adapter);
    const bool sharedEnglishName = table.language == 0x0409 || table.language == 0x0404 || table.language == 0x0804;
    if (sharedEnglishName) {
      EXPECT_EQ(*utility, kAdapterName);
      EXPECT_EQ(*adapter, kAdapterName);
    } else {
      EXPECT_NE(*utility, *adapter);
    }
    // Each of blocks 457 to 460 is there in every language.
    for (std::uint16_t number : {7296, 7312, 7328, 7344}) {
      EXPECT_TRUE(Text(LoadResourceString(nullptr, number, table.language))) << number;
    }
    EXPECT_FALSE(Text(LoadResourceString(nullptr, 4016, table.language)));
    if (table.language != 0x0409) {
      EXPECT_FALSE(Text(LoadResourceString(nullptr, 8288, table.language)));
    }
  }
  EXPECT_TRUE(Text(LoadResourceString(nullptr, 8288, 0x0409)));
}

TEST(StringTables, NonLatinTextsSurviveTheResourceCompiler) {
  EXPECT_EQ(Text(LoadResourceString(nullptr, 4000, 0x0011)), u"削除の確認");
  EXPECT_EQ(Text(LoadResourceString(nullptr, 4000, 0x0007)), u"Entfernen bestätigen");
  EXPECT_EQ(Text(LoadResourceString(nullptr, 4015, 0x0409)), u"Restart Windows");
  const std::optional<std::u16string> russian = Text(LoadResourceString(nullptr, 4012, 0x0019));
  ASSERT_TRUE(russian);
  for (char16_t c : *russian) EXPECT_TRUE(c == u' ' || (c >= 0x0400 && c <= 0x04FF)) << static_cast<int>(c);
}

TEST(StringTables, ALanguageFindsItsOwnTableOrItsNeutralOne) {
  EXPECT_EQ(Text(LoadResourceString(nullptr, 4000, 0x0807)), Text(LoadResourceString(nullptr, 4000, 0x0007)));
  EXPECT_EQ(Text(LoadResourceString(nullptr, 4000, 0x0407)), Text(LoadResourceString(nullptr, 4000, 0x0007)));
  EXPECT_NE(Text(LoadResourceString(nullptr, 4001, 0x0416)), Text(LoadResourceString(nullptr, 4001, 0x0816)));
  EXPECT_EQ(Text(LoadResourceString(nullptr, 4001, 0x0816)), Text(LoadResourceString(nullptr, 4001, 0x0016)));
  // No table for Chinese under the neutral sublanguage, none for British English.
  EXPECT_FALSE(Text(LoadResourceString(nullptr, 4000, 0x0C04)));
  EXPECT_FALSE(Text(LoadResourceString(nullptr, 4000, 0x0809)));
  EXPECT_EQ(Text(LoadResourceString(nullptr, 4004, 0x0409)), u"Removing devices... (please wait)");
}

TEST(LocalizedStrings, OverridesComeFirstAndFollowTheLayout) {
  Overrides overrides(L"Layout");
  overrides.Set(L"9\\1", L"4012", L"Override 4012");
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4012, 0x0409)), u"Override 4012");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4012)), u"Override 4012");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4013)), Text(LoadResourceString(nullptr, 4013, 0x0409)));
  EXPECT_FALSE(Text(LoadRegistryString(nullptr, 4012, 0x0407)));
  EXPECT_FALSE(Text(LoadLocalizedString(nullptr, 4016)));
}

TEST(LocalizedStrings, DefaultSublanguageTakesTheFirstVariantInstalled) {
  Overrides overrides(L"FirstSubkey");
  overrides.Set(L"7\\2", L"4000", L"Schweiz");
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4000, 0x0407)), u"Schweiz");
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4000, 0x0807)), u"Schweiz");
  EXPECT_FALSE(Text(LoadRegistryString(nullptr, 4000, 0x0C07)));
}

TEST(LocalizedStrings, ValuesReadAsTextWhateverTheirFormOrType) {
  Overrides overrides(L"Values");
  const char16_t threeCharacters[] = {u'a', u'b', u'c'};
  overrides.SetRaw(L"9\\1", L"4000", REG_SZ, threeCharacters, 6);
  const char16_t binary[] = {u'b', u'i', u'n', 0};
  overrides.SetRaw(L"9\\1", L"4001", REG_BINARY, binary, sizeof binary);
  overrides.SetRaw(L"9\\1", L"4002", REG_SZ, threeCharacters, 0);
  const std::u16string large(500000, u'x');
  overrides.SetRaw(L"9\\1", L"4003", REG_SZ, large.c_str(), static_cast<DWORD>((large.size() + 1) * 2));
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4000, 0x0409)), u"abc");
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4001, 0x0409)), u"bin");
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4002, 0x0409)), u"");
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4003, 0x0409)), large);
}

TEST(LocalizedStrings, AMissingKeyFallsBackToTheFixedKeyButAnEmptyOneDoesNot) {
  const std::wstring fixed = std::wstring(ravuninst::kDefaultLocalizedStringsKey) + L"\\" + kModule;
  testsupport::ScopedRegistryKey cleanup(HKEY_LOCAL_MACHINE, fixed);
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, fixed + L"\\9\\1", L"4000", L"from the fixed key"));
  ravuninst::SetLocalizedStringsKey(u"SOFTWARE\\RavTest\\NoSuchKey\\LocalizedStrings");
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4000, 0x0409)), u"from the fixed key");
  ravuninst::SetLocalizedStringsKey(u"");
  EXPECT_FALSE(Text(LoadRegistryString(nullptr, 4000, 0x0409)));
}

TEST(LocalizedStrings, TheKeyKeepsItsFirst255Characters) {
  // A key of exactly 255 characters, then given with more after it.
  std::wstring key = L"SOFTWARE\\RavTest\\Long\\";
  key.append(255 - key.size(), L'k');
  testsupport::ScopedRegistryKey cleanup(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RavTest\\Long");
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, key + L"\\" + kModule + L"\\9\\1", L"4000", L"long key"));
  const std::wstring given = key + L"\\ignored tail";
  ravuninst::SetLocalizedStringsKey(std::u16string(given.begin(), given.end()));
  EXPECT_EQ(Text(LoadRegistryString(nullptr, 4000, 0x0409)), u"long key");
}

// The suites below run with the user language Wine takes from LC_ALL.

TEST(GermanUserInLocale, ReadsTheGermanTableUnlessEnglishIsOverridden) {
  ASSERT_EQ(GetUserDefaultUILanguage(), 0x0407);
  Overrides overrides(L"German");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4000)), u"Entfernen bestätigen");
  overrides.Set(L"9\\1", L"4012", L"English override");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4012)), u"English override");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4000)), u"Entfernen bestätigen");
  overrides.Set(L"7\\1", L"4012", L"Deutsche Ersetzung");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4012)), u"Deutsche Ersetzung");
}

TEST(HongKongUserInLocale, FallsBackToTraditionalChinese) {
  ASSERT_EQ(GetUserDefaultUILanguage(), 0x0C04);
  Overrides overrides(L"HongKong");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4000)), Text(LoadResourceString(nullptr, 4000, 0x0404)));
  EXPECT_NE(Text(LoadLocalizedString(nullptr, 4000)), Text(LoadResourceString(nullptr, 4000, 0x0804)));
}

TEST(PortugalUserInLocale, ReadsNeutralPortugueseNotBrazilian) {
  ASSERT_EQ(GetUserDefaultUILanguage(), 0x0816);
  Overrides overrides(L"Portugal");
  EXPECT_EQ(Text(LoadLocalizedString(nullptr, 4001)), Text(LoadResourceString(nullptr, 4001, 0x0016)));
  EXPECT_NE(Text(LoadLocalizedString(nullptr, 4001)), Text(LoadResourceString(nullptr, 4001, 0x0416)));
}

}  // namespace
