// Removing the fake adapter through the platform's SetupAPI: the device is
// disabled, the IHV user-interface library is unregistered (a stand-in that
// records the call) and both libraries and the INF backup are deleted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coinstaller/tests/companion_libraries.h"
#include "coinstaller/tests/device_test.h"
#include "coinstaller/tests/line_matchers.h"
#include "testsupport/text.h"

namespace coinstaller_test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string NarrowSystemPath(const std::string& name) {
  return NarrowWindowsDirectory() + "\\System32\\" + name;
}

class RemoveDeviceTest : public DeviceTest {
 protected:
  RemoveDeviceTest() {
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    amd64_ = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
  }

  // The stand-ins for both IHV libraries, where the driver package puts them.
  void PlaceCompanionLibraries() { ASSERT_TRUE(companions_.Place()); }

  std::vector<std::string> UnregisterRecords() const { return companions_.UnregisterRecords(); }

  // The disabling step's lines, as the platform at hand allows it.
  void ExpectDisableAttempt(FakeAdapter& adapter, const std::vector<std::string>& lines) {
    if (PlatformTakesClassInstallParams(adapter)) {
      EXPECT_TRUE(HasLine(lines, "Disabled the device") ||
                  HasLineStartingWith(lines, "SetupDiCallClassInstaller failed with error: "));
      EXPECT_THAT(lines, Contains("DIF_PROPERTYCHANGE"));
    } else {
      EXPECT_TRUE(HasLineStartingWith(lines, "SetupDiSetClassInstallParams failed with error: "));
    }
  }

  bool amd64_ = false;
  CompanionLibraries companions_{scratch_.path()};
};

TEST_F(RemoveDeviceTest, UnregistersThenDeletesBothLibrariesAndTheBackup) {
  ASSERT_TRUE(amd64_) << "the 64-bit co-installer's names are the \"64\" ones on x64";
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kRowCard);
  ASSERT_EQ(MakePostProcessingCall(*adapter), NO_ERROR);
  const std::string infName = adapter->DriverText("InfPath");
  ASSERT_TRUE(fs::exists(SystemDirectory() / infName));
  PlaceCompanionLibraries();
  const bool realClassInstallParams = PlatformTakesClassInstallParams(*adapter);

  ClearLines();
  const ClassInstallerResult removed = adapter->CallClassInstaller(DIF_REMOVE);
  EXPECT_TRUE(removed.ok) << removed.error;
  const std::vector<std::string> lines = Lines();
  ASSERT_THAT(lines, testing::Not(IsEmpty()));
  EXPECT_EQ(lines.front(), "DIF_REMOVE");
  if (!realClassInstallParams) {
    EXPECT_TRUE(lines.size() > 1 && lines[1].rfind("SetupDiSetClassInstallParams failed with error: ", 0) == 0);
  }
  EXPECT_TRUE(ContainsInOrder(
      lines, {"DIF_REMOVE", "Entering GetInfFromDrvRegistry()", "Inf File Name: " + infName,
              "Leaving GetInfFromDrvRegistry()",
              "Command: RUNDLL32.EXE SETUPAPI.DLL,InstallHinfSection Cleanup 132 " + NarrowSystemPath(infName),
              NarrowSystemPath("ravihvsrv64.dll") + " file is successfully deleted.",
              NarrowSystemPath("ravihvui64.dll") + " file is successfully deleted.",
              "Backup inf file is successfully deleted."}));
  EXPECT_EQ(lines.back(), "Backup inf file is successfully deleted.");

  // regsvr32 found the library by its bare name in the system directory and
  // ran while the service library was still there: deletion waits for it.
  const std::vector<std::string> records = UnregisterRecords();
  ASSERT_EQ(records.size(), 1u) << testing::PrintToString(records);
  const std::string expected =
      "DllUnregisterServer " + testsupport::Narrow(companions_.userInterfacePath().wstring()) + " present";
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, records[0].c_str(), -1, expected.c_str(), -1),
            CSTR_EQUAL)
      << records[0];

  EXPECT_FALSE(fs::exists(companions_.userInterfacePath()));
  EXPECT_FALSE(fs::exists(companions_.servicePath()));
  EXPECT_FALSE(fs::exists(SystemDirectory() / infName));
  // The platform removed the device after the co-installer.
  EXPECT_FALSE(adapter->OpenDriverKey(KEY_QUERY_VALUE));
}

TEST_F(RemoveDeviceTest, AbsentFilesAreEachReportedWithError2) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);  // no second pass: no backup
  const std::string infName = adapter->DriverText("InfPath");
  ASSERT_FALSE(fs::exists(SystemDirectory() / infName));
  ClearLines();
  EXPECT_TRUE(adapter->CallClassInstaller(DIF_REMOVE).ok);
  const std::vector<std::string> lines = LinesFrom(Lines(), "Entering GetInfFromDrvRegistry()");
  ASSERT_FALSE(lines.empty());
  EXPECT_THAT(std::vector<std::string>(lines.begin() + 3, lines.end()),
              ElementsAre("Command: RUNDLL32.EXE SETUPAPI.DLL,InstallHinfSection Cleanup 132 " +
                              NarrowSystemPath(infName),
                          "Could not delete ravihvsrv.dll, error: 2", "Could not delete ravwihvui.dll, error: 2",
                          "Could not delete backup inf file, error: 2"));
  ExpectDisableAttempt(*adapter, Lines());
}

TEST_F(RemoveDeviceTest, WithoutInfPathOnlyTheDisablingHappens) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kRowCard);
  ASSERT_EQ(MakePostProcessingCall(*adapter), NO_ERROR);
  const std::string infName = adapter->DriverText("InfPath");
  PlaceCompanionLibraries();
  ASSERT_TRUE(adapter->DeleteDriverValue("InfPath"));
  ClearLines();
  EXPECT_TRUE(adapter->CallClassInstaller(DIF_REMOVE).ok);
  const std::vector<std::string> lines = Lines();
  ExpectDisableAttempt(*adapter, lines);
  EXPECT_THAT(LinesFrom(lines, "Entering GetInfFromDrvRegistry()"),
              ElementsAre("Entering GetInfFromDrvRegistry()",
                          "Failed to read 'InfPath' from driver registry. [err=2]"));
  EXPECT_TRUE(fs::exists(companions_.userInterfacePath()));
  EXPECT_TRUE(fs::exists(companions_.servicePath()));
  EXPECT_TRUE(fs::exists(SystemDirectory() / infName));
  EXPECT_THAT(UnregisterRecords(), IsEmpty());
}

TEST_F(RemoveDeviceTest, BackupPathThatDoesNotFitIsNeitherFormedNorDeleted) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);
  PlaceCompanionLibraries();
  // Exactly one character too long for "<windows>\\System32\\<name>".
  const std::string name = std::string(260 - NarrowWindowsDirectory().size() - 10 - 4, 'n') + ".inf";
  ASSERT_TRUE(adapter->SetDriverText("InfPath", name));
  ClearLines();
  EXPECT_TRUE(adapter->CallClassInstaller(DIF_REMOVE).ok);
  EXPECT_THAT(LinesFrom(Lines(), "Leaving GetInfFromDrvRegistry()"),
              ElementsAre("Leaving GetInfFromDrvRegistry()",
                          NarrowSystemPath("ravihvsrv64.dll") + " file is successfully deleted.",
                          NarrowSystemPath("ravihvui64.dll") + " file is successfully deleted.",
                          "Could not delete backup inf file, error: 206"));
  EXPECT_EQ(UnregisterRecords().size(), 1u);
}

TEST_F(RemoveDeviceTest, DeviceWithoutDriverKeyIsLeftAlone) {
  std::unique_ptr<FakeAdapter> adapter = CreateAdapter(kUsCard);  // never installed: no driver key
  PlaceCompanionLibraries();
  EXPECT_EQ(export_->Call(DIF_REMOVE, adapter->set(), adapter->device(), nullptr), NO_ERROR);
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "DIF_REMOVE");
  EXPECT_TRUE(lines[1].rfind("Failed to open driver registry. [err=", 0) == 0) << lines[1];
  EXPECT_TRUE(fs::exists(companions_.userInterfacePath()));
  EXPECT_THAT(UnregisterRecords(), IsEmpty());
}

}  // namespace
}  // namespace coinstaller_test
