// The co-installer's platform-free rules, natively and under Wine.
#include <gtest/gtest.h>

#include <string>

#include "coinstaller/core/account_names.h"
#include "coinstaller/core/companion_files.h"
#include "coinstaller/core/dif_table.h"
#include "coinstaller/core/location_rules.h"
#include "coinstaller/core/row_marker.h"
#include "coinstaller/core/system_paths.h"

namespace coinstaller {
namespace {

TEST(DifTable, NamesEveryRequestTheWayThePlatformDoes) {
  const char* const expected[] = {
      "?????",
      "DIF_SELECTDEVICE",
      "DIF_INSTALLDEVICE",
      "DIF_ASSIGNRESOURCES",
      "DIF_PROPERTIES",
      "DIF_REMOVE",
      "DIF_FIRSTTIMESETUP",
      "DIF_FOUNDDEVICE",
      "DIF_SELECTCLASSDRIVERS",
      "DIF_VALIDATECLASSDRIVERS",
      "DIF_INSTALLCLASSDRIVERS",
      "DIF_CALCDISKSPACE",
      "DIF_DESTROYPRIVATEDATA",
      "DIF_VALIDATEDRIVER",
      "DIF_MOVEDEVICE",
      "DIF_DETECT",
      "DIF_INSTALLWIZARD",
      "DIF_DESTROYWIZARDDATA",
      "DIF_PROPERTYCHANGE",
      "DIF_ENABLECLASS",
      "DIF_DETECTVERIFY",
      "DIF_INSTALLDEVICEFILES",
      "?????",
      "DIF_SELECTBESTCOMPATDRV",
      "DIF_ALLOW_INSTALL",
      "DIF_REGISTERDEVICE",
      "DIF_NEWDEVICEWIZARD_PRESELECT",
      "DIF_NEWDEVICEWIZARD_SELECT",
      "DIF_NEWDEVICEWIZARD_PREANALYZE",
      "DIF_NEWDEVICEWIZARD_POSTANALYZE",
      "DIF_NEWDEVICEWIZARD_FINISHINSTALL",
      "?????",
      "DIF_INSTALLINTERFACES",
      "DIF_DETECTCANCEL",
      "DIF_REGISTER_COINSTALLERS",
      "DIF_ADDPROPERTYPAGE_ADVANCED",
      "DIF_ADDPROPERTYPAGE_BASIC",
      "?????",
      "DIF_TROUBLESHOOTER",
      "DIF_POWERMESSAGEWAKE",
      "?????",  // 0x28
  };
  for (std::uint32_t code = 0; code < std::size(expected); ++code) {
    EXPECT_STREQ(DifName(code), expected[code]) << "code 0x" << std::hex << code;
  }
  for (std::uint32_t code : {0x29u, 0x100u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    EXPECT_STREQ(DifName(code), "?????") << "code 0x" << std::hex << code;
  }
}

TEST(DifTable, ActsOnlyOnInstallRemoveAndFinishInstall) {
  for (std::uint32_t code = 0; code <= 0x40; ++code) {
    RequestHandler expected = RequestHandler::LogOnly;
    if (code == 0x02) expected = RequestHandler::InstallDevice;
    if (code == 0x05) expected = RequestHandler::RemoveDevice;
    if (code == 0x1E) expected = RequestHandler::FinishInstall;
    EXPECT_EQ(HandlerFor(code), expected) << "code 0x" << std::hex << code;
  }
  EXPECT_EQ(HandlerFor(0xFFFFFFFFu), RequestHandler::LogOnly);
}

TEST(RowMarker, SectionNameIsSectionThenDecoration) {
  EXPECT_EQ(InstallSectionName("RowCard", ".NTamd64"), "RowCard.NTamd64");
  EXPECT_EQ(InstallSectionName("RowCard", ""), "RowCard");
  EXPECT_EQ(InstallSectionName("", ".NTamd64"), ".NTamd64");
  // Two values of up to 255 characters each: the name is never cut.
  EXPECT_EQ(InstallSectionName(std::string(255, 's'), std::string(255, 'e')).size(), 510u);
}

TEST(RowMarker, OnlyLowerCaseCcRegAnywhereInTheLineMarksARowCard) {
  const std::pair<const char*, bool> cases[] = {
      {"RowCard.reg,cc.reg", true},
      {"cc.reg", true},
      {"cc.reg,RowCard.reg", true},
      {"xcc.regx", true},  // a substring test, as the INF's line is joined text
      {"RowCard.reg,CC.REG", false},
      {"RowCard.reg,Cc.reg", false},
      {"RowCard.reg,cc_reg", false},
      {"RowCard.reg", false},
      {"", false},
  };
  for (const auto& [line, row] : cases) EXPECT_EQ(AddRegLineMarksRowCard(line), row) << line;
}

TEST(SystemPaths, FormsPathsThatFitAndRefusesTheRest) {
  EXPECT_EQ(*PathBelowWindows("C:\\windows", kSystemDirectory, "oem3.inf"), "C:\\windows\\System32\\oem3.inf");
  EXPECT_EQ(*PathBelowWindows("C:\\windows", kInfDirectory, "oem3.inf"), "C:\\windows\\Inf\\oem3.inf");
  // "C:\windows\System32\" is 20 characters: 239 more make 259, the most a
  // 260-character buffer holds.
  EXPECT_EQ(PathBelowWindows("C:\\windows", kSystemDirectory, std::string(239, 'n')).value().size(), 259u);
  EXPECT_FALSE(PathBelowWindows("C:\\windows", kSystemDirectory, std::string(240, 'n')).has_value());
  EXPECT_TRUE(PathBelowWindows("C:\\windows", kInfDirectory, std::string(244, 'n')).has_value());
  EXPECT_FALSE(PathBelowWindows("C:\\windows", kInfDirectory, std::string(245, 'n')).has_value());

  EXPECT_TRUE(FitsPathBuffer(std::string(259, 'n')));
  EXPECT_FALSE(FitsPathBuffer(std::string(260, 'n')));
}

TEST(SystemPaths, OnlyPlainInfFileNamesNameTheBackup) {
  for (const char* name : {"oem3.inf", "ravwlantest.inf", "OEM12.INF", "x.Inf", ".inf", "name with spaces.inf",
                           "\xE4.inf", "a..b.inf"}) {
    EXPECT_TRUE(IsPlainInfFileName(name)) << name;
  }
  for (const char* name : {"", ".", "..", "inf", "x.in", "oem3.inf.", "oem3.inf ", "kernel32.dll", "..\\win.ini",
                           "..\\x.inf", "sub\\..\\..\\x.inf", "../x.inf", "sub/x.inf", "C:\\x.inf", "C:x.inf",
                           "\\\\server\\share\\x.inf", "\\x.inf", "x.inf:stream.inf", "x*.inf", "x?.inf", "x<.inf",
                           "x>.inf", "x|.inf", "x\".inf", "a\tb.inf", "a\nb.inf"}) {
    EXPECT_FALSE(IsPlainInfFileName(name)) << name;
  }
  EXPECT_FALSE(IsPlainInfFileName(std::string("a\0b.inf", 7)));
}

TEST(CompanionFiles, NamesFollowTheProcessorArchitecture) {
  EXPECT_EQ(UserInterfaceLibrary(9), "ravihvui64.dll");
  EXPECT_EQ(ServiceLibrary(9), "ravihvsrv64.dll");
  // x86, IA64, ARM64 and unknown all take the names without "64".
  for (std::uint16_t architecture : {0, 6, 12, 0xFFFF}) {
    EXPECT_EQ(UserInterfaceLibrary(architecture), "ravihvui.dll") << architecture;
    EXPECT_EQ(ServiceLibrary(architecture), "ravihvsrv.dll") << architecture;
  }
}

TEST(CompanionFiles, CommandsNameTheirArgumentWithinTheirBuffers) {
  EXPECT_EQ(*UnregisterCommand("C:\\Windows\\system32", "ravihvui64.dll"),
            "\"C:\\Windows\\system32\\regsvr32.exe\" /u /s ravihvui64.dll");
  EXPECT_EQ(*CleanupCommand("C:\\windows\\System32\\oem3.inf"),
            "RUNDLL32.EXE SETUPAPI.DLL,InstallHinfSection Cleanup 132 C:\\windows\\System32\\oem3.inf");
  // "\"C:\\regsvr32.exe\" /u /s " is 24 characters of the 260-byte buffer.
  EXPECT_TRUE(UnregisterCommand("C:", std::string(235, 'x')).has_value());
  EXPECT_FALSE(UnregisterCommand("C:", std::string(236, 'x')).has_value());
  EXPECT_FALSE(UnregisterCommand(std::string(240, 's'), "ravihvui64.dll").has_value());
  // Every backup path (at most 259 characters) fits the cleanup command.
  EXPECT_TRUE(CleanupCommand(std::string(259, 'p')).has_value());
}

TEST(AccountNames, DomainComesFirstAndMustFitTheBuffer) {
  EXPECT_EQ(*QualifiedAccountName("VM", "root"), "VM\\root");
  EXPECT_EQ(*QualifiedAccountName("", ""), "\\");
  EXPECT_EQ(QualifiedAccountName("D", std::string(kUserNameBuffer - 3, 'u')).value().size(), kUserNameBuffer - 1);
  EXPECT_FALSE(QualifiedAccountName("D", std::string(kUserNameBuffer - 2, 'u')).has_value());
  EXPECT_FALSE(QualifiedAccountName("DOMAIN", "user", 11).has_value());
  EXPECT_EQ(*QualifiedAccountName("DOMAIN", "user", 12), "DOMAIN\\user");
}

TEST(AccountNames, AProcessWithoutKnownOwnerBelongsToNobody) {
  EXPECT_TRUE(OwnerIsUser("VM\\root", "vm\\root"));
  EXPECT_FALSE(OwnerIsUser("VM\\root", "VM\\other"));
  EXPECT_FALSE(OwnerIsUser("", ""));  // no console user either
  EXPECT_FALSE(OwnerIsUser("", "VM\\root"));
  EXPECT_FALSE(OwnerIsUser("VM\\root", ""));
}

TEST(LocationRules, VersionDecidesWhereTheCodeComesFrom) {
  struct Case {
    std::optional<ReportedVersion> version;
    LocationSource source;
    bool isVersion50;
  };
  const Case cases[] = {
      {ReportedVersion{5, 0}, LocationSource::DefaultLanguageLocale, true},
      {ReportedVersion{5, 1}, LocationSource::HostAccountGeo, false},
      {ReportedVersion{5, 2}, LocationSource::HostAccountGeo, false},
      {ReportedVersion{4, 0}, LocationSource::HostAccountGeo, false},
      {ReportedVersion{6, 0}, LocationSource::ConsoleUserGeo, false},
      {ReportedVersion{6, 2}, LocationSource::ConsoleUserGeo, false},
      {ReportedVersion{10, 0}, LocationSource::ConsoleUserGeo, false},
      {std::nullopt, LocationSource::HostAccountGeo, false},  // the version could not be read
  };
  for (const Case& c : cases) {
    const std::string name = c.version ? std::to_string(c.version->major) + "." + std::to_string(c.version->minor)
                                       : std::string("unknown");
    EXPECT_EQ(ChooseLocationSource(c.version), c.source) << name;
    EXPECT_EQ(IsVersion50(c.version), c.isVersion50) << name;
  }
}

TEST(LocationRules, CountryCodeIsAtMostTheFirstTwoCharacters) {
  EXPECT_EQ(CountryCode(std::string_view("US\0\0\0\0\0\0", 8)), "US");
  EXPECT_EQ(CountryCode("DEU"), "DE");
  EXPECT_EQ(CountryCode(std::string_view("D\0X", 3)), "D");
  EXPECT_EQ(CountryCode(std::string_view("\0\0\0", 3)), "");
  EXPECT_EQ(CountryCode(""), "");
}

}  // namespace
}  // namespace coinstaller
