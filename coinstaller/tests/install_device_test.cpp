// Installing the fake adapter through the platform's SetupAPI: the selected
// driver is logged, a ROW card gets the user's country, and the installed
// INF is backed up into the system directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coinstaller/tests/device_test.h"
#include "coinstaller/tests/line_matchers.h"
#include "testsupport/dir_tree.h"

namespace coinstaller_test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

// The selected driver's details as the platform reports them to the test.
SP_DRVINFO_DETAIL_DATA_A SelectedDriverDetail(FakeAdapter& adapter) {
  SP_DRVINFO_DATA_A driver = {};
  driver.cbSize = sizeof driver;
  EXPECT_TRUE(SetupDiGetSelectedDriverA(adapter.set(), adapter.device(), &driver));
  union {
    SP_DRVINFO_DETAIL_DATA_A detail;
    char room[4096];
  } buffer = {};
  buffer.detail.cbSize = sizeof buffer.detail;
  DWORD required = 0;
  EXPECT_TRUE(SetupDiGetDriverInfoDetailA(adapter.set(), adapter.device(), &driver, &buffer.detail,
                                          sizeof buffer, &required));
  return buffer.detail;
}

class InstallDeviceTest : public DeviceTest {
 protected:
  // Installs the adapter and makes the pass after the class installer; the
  // lines of that pass.
  std::vector<std::string> InstallWithPostProcessing(std::unique_ptr<FakeAdapter>& adapter, const char* hardwareId) {
    adapter = InstallAdapter(hardwareId);
    EXPECT_EQ(MakePostProcessingCall(*adapter), NO_ERROR);
    return LinesFrom(Lines(), "DIF_INSTALLDEVICE PostProcessing");
  }

  fs::path BackupOf(const std::string& infName) const { return SystemDirectory() / infName; }
  fs::path InstalledCopyOf(const std::string& infName) const { return WindowsDirectory() / L"inf" / infName; }
};

TEST_F(InstallDeviceTest, RowCardGetsTheUsersCountryAndTheInfIsBackedUp) {
  std::unique_ptr<FakeAdapter> adapter;
  const std::vector<std::string> lines = InstallWithPostProcessing(adapter, kRowCard);
  const std::string infName = adapter->DriverText("InfPath");
  ASSERT_FALSE(infName.empty());
  const SP_DRVINFO_DETAIL_DATA_A detail = SelectedDriverDetail(*adapter);
  const std::string windows = NarrowWindowsDirectory();
  const std::string country = ThisUsersCountry();
  ASSERT_EQ(country.size(), 2u);

  // The description holds a percent sign: it is logged as it stands.
  EXPECT_STREQ(detail.DrvDescription, "Corvane 802.11 USB Adapter (ROW, 100% channels)");
  EXPECT_TRUE(ContainsInOrder(lines, {
                                         "DIF_INSTALLDEVICE PostProcessing",
                                         detail.DrvDescription,
                                         detail.InfFileName,
                                         "Entering IsROWCard()",
                                         "Inf Section: RowCard.NTamd64",
                                         "ROW card detected.",
                                         "Leaving IsROWCard()",
                                         "Leaving GetUserLocation()",
                                         "User Location: " + country,
                                         "Entering GetInfFromDrvRegistry()",
                                         "Inf File Name: " + infName,
                                         "Leaving GetInfFromDrvRegistry()",
                                         "Source Inf file: " + windows + "\\Inf\\" + infName,
                                         "Destination Inf file: " + windows + "\\System32\\" + infName,
                                         "Inf file is successfully backed up.",
                                     }));

  EXPECT_TRUE(StoredCountryIs(*adapter, country));

  ASSERT_TRUE(fs::exists(BackupOf(infName)));
  EXPECT_EQ(testsupport::ReadFile(BackupOf(infName)), testsupport::ReadFile(InstalledCopyOf(infName)));
}

// The class installer or an earlier co-installer failed: the second pass
// changes nothing and hands the failure on, so that SetupAPI never reports
// the failed installation as a success.
TEST_F(InstallDeviceTest, AFailedInstallationIsPassedOnAndNothingIsDone) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kRowCard);
  const std::string infName = adapter->DriverText("InfPath");
  ASSERT_FALSE(infName.empty());
  for (const DWORD failure : {static_cast<DWORD>(ERROR_NO_DRIVER_SELECTED), static_cast<DWORD>(ERROR_ACCESS_DENIED)}) {
    SCOPED_TRACE(failure);
    fs::remove(BackupOf(infName));
    ClearLines();
    COINSTALLER_CONTEXT_DATA context = {};
    context.PostProcessing = TRUE;
    context.InstallResult = failure;
    EXPECT_EQ(export_->Call(DIF_INSTALLDEVICE, adapter->set(), adapter->device(), &context), failure);
    EXPECT_THAT(Lines(), ElementsAre("DIF_INSTALLDEVICE",
                                     "DIF_INSTALLDEVICE PostProcessing skipped: the installation failed, error: " +
                                         std::to_string(static_cast<long>(failure))));
    EXPECT_FALSE(adapter->DriverValue("Country").has_value());
    EXPECT_FALSE(fs::exists(BackupOf(infName)));
  }
}

TEST_F(InstallDeviceTest, CardsWithoutLowerCaseCcRegAreNotRowCards) {
  for (const char* hardwareId : {kUsCard, kCapsCard}) {
    SCOPED_TRACE(hardwareId);
    ClearLines();
    std::unique_ptr<FakeAdapter> adapter;
    const std::vector<std::string> lines = InstallWithPostProcessing(adapter, hardwareId);
    const std::string section = hardwareId == std::string(kUsCard) ? "UsCard.NTamd64" : "CapsCard.NTamd64";
    EXPECT_TRUE(ContainsInOrder(lines, {"Entering IsROWCard()", "Inf Section: " + section, "Not a ROW card.",
                                        "Entering GetInfFromDrvRegistry()", "Inf file is successfully backed up."}));
    EXPECT_THAT(lines, Not(Contains("Leaving IsROWCard()")));
    EXPECT_FALSE(HasLineStartingWith(lines, "User Location: "));
    EXPECT_FALSE(adapter->DriverValue("Country").has_value());
  }
}

TEST_F(InstallDeviceTest, SectionWithoutAddRegCountsAsRowCard) {
  std::unique_ptr<FakeAdapter> adapter;
  const std::vector<std::string> lines = InstallWithPostProcessing(adapter, kPlainCard);
  EXPECT_TRUE(ContainsInOrder(
      lines, {"Inf Section: PlainCard.NTamd64",
              "Failed to get the required size. [err=" + std::to_string(static_cast<long>(ERROR_LINE_NOT_FOUND)) + "]",
              "Leaving IsROWCard()", "User Location: " + ThisUsersCountry()}));
  EXPECT_TRUE(StoredCountryIs(*adapter, ThisUsersCountry()));
}

TEST_F(InstallDeviceTest, InfThatFailsToOpenCountsAsRowCard) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);
  // The INF the selected driver names is gone by the time of the second pass.
  const fs::path driverInf = SelectedDriverDetail(*adapter).InfFileName;
  ASSERT_TRUE(fs::remove(driverInf)) << driverInf;
  EXPECT_EQ(MakePostProcessingCall(*adapter), NO_ERROR);
  const std::vector<std::string> lines = LinesFrom(Lines(), "DIF_INSTALLDEVICE PostProcessing");
  EXPECT_TRUE(HasLineStartingWith(lines, "Fail: SetupOpenInfFile, error: "));
  // No INF to ask: the size query fails as for an invalid handle.
  EXPECT_TRUE(ContainsInOrder(lines, {"Entering IsROWCard()", "Inf Section: UsCard.NTamd64",
                                      "Failed to get the required size. [err=6]", "Leaving IsROWCard()",
                                      "User Location: " + ThisUsersCountry()}));
  EXPECT_TRUE(StoredCountryIs(*adapter, ThisUsersCountry()));
}

TEST_F(InstallDeviceTest, SecondInstallationReplacesTheBackup) {
  std::unique_ptr<FakeAdapter> first;
  InstallWithPostProcessing(first, kUsCard);
  const std::string infName = first->DriverText("InfPath");
  ASSERT_TRUE(fs::exists(BackupOf(infName)));
  testsupport::WriteFile(BackupOf(infName), "stale backup\r\n");
  first->Remove();

  ClearLines();
  std::unique_ptr<FakeAdapter> second;
  const std::vector<std::string> lines = InstallWithPostProcessing(second, kUsCard);
  ASSERT_EQ(second->DriverText("InfPath"), infName);
  EXPECT_THAT(lines, Contains("Inf file is successfully backed up."));
  EXPECT_EQ(testsupport::ReadFile(BackupOf(infName)), testsupport::ReadFile(InstalledCopyOf(infName)));
}

TEST_F(InstallDeviceTest, BackupPathTooLongForItsBufferIsNotFormed) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);
  // Exactly one character too long for "<windows>\System32\<name>"; the
  // source path below Inf is shorter and still fits.
  const std::string windows = NarrowWindowsDirectory();
  const std::string name = std::string(260 - windows.size() - 10 - 4, 'n') + ".inf";
  ASSERT_TRUE(adapter->SetDriverText("InfPath", name));
  EXPECT_EQ(MakePostProcessingCall(*adapter), NO_ERROR);
  const std::vector<std::string> lines = LinesFrom(Lines(), "Entering GetInfFromDrvRegistry()");
  EXPECT_THAT(lines, ElementsAre("Entering GetInfFromDrvRegistry()", "Inf File Name: " + name,
                                 "Leaving GetInfFromDrvRegistry()", "Source Inf file: " + windows + "\\Inf\\" + name,
                                 "Could not backup inf file, error: 206"));
}

TEST_F(InstallDeviceTest, MissingInfPathSkipsOnlyTheBackup) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kRowCard);
  ASSERT_TRUE(adapter->DeleteDriverValue("InfPath"));
  EXPECT_EQ(MakePostProcessingCall(*adapter), NO_ERROR);
  const std::vector<std::string> lines = LinesFrom(Lines(), "DIF_INSTALLDEVICE PostProcessing");
  EXPECT_TRUE(ContainsInOrder(lines, {"ROW card detected.", "User Location: " + ThisUsersCountry(),
                                      "Entering GetInfFromDrvRegistry()",
                                      "Failed to read 'InfPath' from driver registry. [err=2]"}));
  EXPECT_EQ(lines.back(), "Failed to read 'InfPath' from driver registry. [err=2]");
  EXPECT_TRUE(adapter->DriverValue("Country").has_value());
}

TEST_F(InstallDeviceTest, SecondPassWithoutSelectedDriverStillWorksOnTheDriverKey) {
  std::unique_ptr<FakeAdapter> installed = InstallAdapter(kUsCard);
  // A second element for the same device, in a set of its own: nothing is
  // selected for it, but it reaches the same driver key.
  rav::UniqueDeviceInfoSet set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
  char instanceId[512] = {};
  ASSERT_TRUE(SetupDiGetDeviceInstanceIdA(installed->set(), installed->device(), instanceId, sizeof instanceId,
                                          nullptr));
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  ASSERT_TRUE(SetupDiOpenDeviceInfoA(set.get(), instanceId, nullptr, 0, &device));
  ClearLines();
  COINSTALLER_CONTEXT_DATA context = {};
  context.PostProcessing = TRUE;
  EXPECT_EQ(export_->Call(DIF_INSTALLDEVICE, set.get(), &device, &context), NO_ERROR);
  const std::vector<std::string> lines = Lines();
  ASSERT_THAT(lines, testing::SizeIs(testing::Ge(5u)));
  EXPECT_EQ(lines[1], "DIF_INSTALLDEVICE PostProcessing");
  EXPECT_TRUE(lines[2].rfind("Fail: SetupDiGetSelectedDriver, error: ", 0) == 0) << lines[2];
  EXPECT_TRUE(lines[3].rfind("Fail: SetupOpenInfFile, error: ", 0) == 0) << lines[3];
  EXPECT_TRUE(ContainsInOrder(lines, {"Inf Section: UsCard.NTamd64", "Failed to get the required size. [err=6]",
                                      "Inf file is successfully backed up."}));
}

}  // namespace
}  // namespace coinstaller_test
