// Restarting and disabling the device. Wine's SetupDiSetClassInstallParamsA
// is a stub that always fails, so the real calls reach only the failure
// branch there (tested through the host in the install and removal tests);
// here the two calls are replaced to reach the others and to see the exact
// parameters the co-installer installs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "coinstaller/install_device.h"
#include "coinstaller/remove_device.h"
#include "coinstaller/tests/device_test.h"
#include "coinstaller/tests/line_matchers.h"

namespace coinstaller_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

// What the replaced calls saw, and what they answer.
struct Recorded {
  std::vector<BYTE> params;
  DWORD paramsSize = 0;
  PSP_DEVINFO_DATA device = nullptr;
  std::vector<DI_FUNCTION> classInstallerCalls;
  BOOL setAnswer = TRUE;
  BOOL callAnswer = TRUE;
  DWORD callError = 0;
};
Recorded recorded;

BOOL WINAPI RecordSetParams(HDEVINFO, PSP_DEVINFO_DATA device, PSP_CLASSINSTALL_HEADER header, DWORD size) {
  recorded.device = device;
  recorded.paramsSize = size;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(header);
  recorded.params.assign(bytes, bytes + size);
  if (!recorded.setAnswer) SetLastError(ERROR_INVALID_USER_BUFFER);
  return recorded.setAnswer;
}

BOOL WINAPI RecordCall(DI_FUNCTION installFunction, HDEVINFO, PSP_DEVINFO_DATA) {
  recorded.classInstallerCalls.push_back(installFunction);
  if (!recorded.callAnswer) SetLastError(recorded.callError);
  return recorded.callAnswer;
}

SP_PROPCHANGE_PARAMS RecordedParams() {
  SP_PROPCHANGE_PARAMS params = {};
  EXPECT_EQ(recorded.params.size(), sizeof params);
  memcpy(&params, recorded.params.data(), std::min(recorded.params.size(), sizeof params));
  return params;
}

class PropertyChangeTest : public DeviceTest {
 protected:
  PropertyChangeTest() { recorded = Recorded(); }
  coinstaller::ClassInstallerCalls replaced_{&RecordSetParams, &RecordCall};
};

TEST_F(PropertyChangeTest, FinishInstallRestartsTheDeviceGlobally) {
  std::unique_ptr<FakeAdapter> adapter = CreateAdapter(kUsCard);
  EXPECT_EQ(coinstaller::OnFinishInstall(adapter->set(), adapter->device(), replaced_), NO_ERROR);
  EXPECT_THAT(Lines(), ElementsAre("DIF_NEWDEVICEWIZARD_FINISHINSTALL", "Restarted the device"));
  EXPECT_EQ(recorded.device, adapter->device());
  EXPECT_EQ(recorded.paramsSize, 20u);
  const SP_PROPCHANGE_PARAMS params = RecordedParams();
  EXPECT_EQ(params.ClassInstallHeader.cbSize, 8u);
  EXPECT_EQ(params.ClassInstallHeader.InstallFunction, static_cast<DI_FUNCTION>(DIF_PROPERTYCHANGE));
  EXPECT_EQ(params.StateChange, static_cast<DWORD>(DICS_PROPCHANGE));
  EXPECT_EQ(params.Scope, static_cast<DWORD>(DICS_FLAG_GLOBAL));
  EXPECT_EQ(params.HwProfile, 0u);
  EXPECT_THAT(recorded.classInstallerCalls, ElementsAre(static_cast<DI_FUNCTION>(DIF_PROPERTYCHANGE)));
}

TEST_F(PropertyChangeTest, RemovalDisablesTheDeviceFirst) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);
  ClearLines();
  EXPECT_EQ(coinstaller::OnRemoveDevice(adapter->set(), adapter->device(), replaced_), NO_ERROR);
  const std::vector<std::string> lines = Lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "DIF_REMOVE");
  EXPECT_EQ(lines[1], "Disabled the device");
  EXPECT_EQ(lines[2], "Entering GetInfFromDrvRegistry()");
  const SP_PROPCHANGE_PARAMS params = RecordedParams();
  EXPECT_EQ(params.StateChange, static_cast<DWORD>(DICS_DISABLE));
  EXPECT_EQ(params.Scope, static_cast<DWORD>(DICS_FLAG_GLOBAL));
  EXPECT_EQ(params.HwProfile, 0u);
}

TEST_F(PropertyChangeTest, FailuresAreLoggedWithTheFailingCallsError) {
  std::unique_ptr<FakeAdapter> adapter = CreateAdapter(kUsCard);
  recorded.callAnswer = FALSE;
  recorded.callError = ERROR_DI_DO_DEFAULT;
  EXPECT_EQ(coinstaller::OnFinishInstall(adapter->set(), adapter->device(), replaced_), NO_ERROR);
  EXPECT_THAT(Lines(), ElementsAre("DIF_NEWDEVICEWIZARD_FINISHINSTALL",
                                   "SetupDiCallClassInstaller failed with error: -536870386"));

  ClearLines();
  recorded = Recorded();
  recorded.setAnswer = FALSE;
  EXPECT_EQ(coinstaller::OnFinishInstall(adapter->set(), adapter->device(), replaced_), NO_ERROR);
  EXPECT_THAT(Lines(), ElementsAre("DIF_NEWDEVICEWIZARD_FINISHINSTALL",
                                   "SetupDiSetClassInstallParams failed with error: 1784"));
  EXPECT_TRUE(recorded.classInstallerCalls.empty()) << "the class installer ran without parameters";
}

// With the parameters taken (replaced) and the real class installer, the
// platform calls the co-installer again with DIF_PROPERTYCHANGE, which it
// only logs.
TEST_F(PropertyChangeTest, ThePropertyChangeComesBackAsARequestThatIsOnlyLogged) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);
  coinstaller::ClassInstallerCalls realClassInstaller{&RecordSetParams, &SetupDiCallClassInstaller};
  ClearLines();
  EXPECT_EQ(coinstaller::OnFinishInstall(adapter->set(), adapter->device(), realClassInstaller), NO_ERROR);
  const std::vector<std::string> lines = Lines();
  EXPECT_TRUE(ContainsInOrder(lines, {"DIF_NEWDEVICEWIZARD_FINISHINSTALL", "DIF_PROPERTYCHANGE"}));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DIF_PROPERTYCHANGE"), 1);
  EXPECT_TRUE(lines.back() == "Restarted the device" ||
              lines.back().rfind("SetupDiCallClassInstaller failed with error: ", 0) == 0)
      << lines.back();
}

TEST_F(PropertyChangeTest, ThroughTheHostFinishInstallTriesTheRestart) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);
  ClearLines();
  adapter->CallClassInstaller(DIF_NEWDEVICEWIZARD_FINISHINSTALL);
  const std::vector<std::string> lines = Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "DIF_NEWDEVICEWIZARD_FINISHINSTALL");
  // Where SetupDiSetClassInstallParamsA is Wine's stub, its failure line;
  // elsewhere the restart runs through the class installer.
  if (PlatformTakesClassInstallParams(*adapter)) {
    EXPECT_THAT(lines, Contains("DIF_PROPERTYCHANGE"));
  } else {
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines.back().rfind("SetupDiSetClassInstallParams failed with error: ", 0) == 0) << lines.back();
  }
}

}  // namespace
}  // namespace coinstaller_test
