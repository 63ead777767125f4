#include "coinstaller/tests/device_test.h"

#include <algorithm>

#include "testsupport/test_paths.h"

namespace coinstaller_test {
namespace fs = std::filesystem;

std::vector<std::string> CoInstallerLines(const std::vector<testsupport::DebugMessage>& messages) {
  std::vector<std::string> lines;
  const std::string_view prefix = kPrefix;
  for (const testsupport::DebugMessage& message : messages) {
    std::string_view text = message.text;
    if (text.substr(0, prefix.size()) != prefix) continue;  // not the co-installer's
    text.remove_prefix(prefix.size());
    EXPECT_TRUE(text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") << message.text;
    if (text.size() >= 2) text.remove_suffix(2);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string_view::npos) << message.text;
    lines.emplace_back(text);
  }
  return lines;
}

std::string ThisUsersCountry() {
  char code[8] = {};
  GetGeoInfoA(GetUserGeoID(GEOCLASS_NATION), GEO_ISO2, code, sizeof code, 0);
  return code;
}

std::string NarrowWindowsDirectory() {
  char directory[MAX_PATH] = {};
  GetWindowsDirectoryA(directory, MAX_PATH);
  return directory;
}

bool PlatformTakesClassInstallParams(FakeAdapter& adapter) {
  return SetupDiSetClassInstallParamsA(adapter.set(), adapter.device(), nullptr, 0) != FALSE;
}

::testing::AssertionResult StoredCountryIs(FakeAdapter& adapter, const std::string& code) {
  const std::optional<RawValue> stored = adapter.DriverValue("Country");
  if (!stored) return ::testing::AssertionFailure() << "no \"Country\" value";
  if (stored->type != REG_SZ) return ::testing::AssertionFailure() << "type " << stored->type;
  if (stored->data != code && stored->data != code + std::string(1, '\0')) {
    return ::testing::AssertionFailure() << "data \"" << stored->data << "\" (" << stored->data.size() << " bytes)";
  }
  return ::testing::AssertionSuccess();
}

// SetupAPI loads device co-installers from the system directory only: the
// library is put there for each test, as the driver package's CopyFiles
// would, and taken away after it.
DeviceTest::DeviceTest()
    : inf_(scratch_.path() / L"ravwlantest.inf"),
      coInstallerFile_(testsupport::BinPath(L"ravcoinst.dll"), L"ravcoinst.dll") {
  fs::copy_file(testsupport::BinPath(L"ravwlantest.inf"), inf_);
  export_.emplace();
}

DeviceTest::~DeviceTest() {
  export_.reset();
  for (const std::string& name : installedInfs_) RemoveInstalledInf(name);
}

std::unique_ptr<FakeAdapter> DeviceTest::CreateAdapter(const char* hardwareId) {
  return CreateAdapter(hardwareId, inf_);
}

std::unique_ptr<FakeAdapter> DeviceTest::CreateAdapter(const char* hardwareId, const fs::path& inf) {
  EXPECT_TRUE(coInstallerFile_.copied()) << "ravcoinst.dll could not be put into the system directory";
  EXPECT_TRUE(export_->loaded()) << "ravcoinst.dll or its export RAVWlanCoInstall did not load";
  auto adapter = std::make_unique<FakeAdapter>(hardwareId, inf);
  EXPECT_TRUE(adapter->created()) << hardwareId;
  return adapter;
}

std::unique_ptr<FakeAdapter> DeviceTest::InstallAdapter(const char* hardwareId) {
  return InstallAdapter(hardwareId, inf_);
}

std::unique_ptr<FakeAdapter> DeviceTest::InstallAdapter(const char* hardwareId, const fs::path& inf) {
  std::unique_ptr<FakeAdapter> adapter = CreateAdapter(hardwareId, inf);
  const ClassInstallerResult installed = adapter->Install();
  EXPECT_TRUE(installed.ok) << hardwareId << ": error " << installed.error;
  const std::string infName = adapter->DriverText("InfPath");
  if (!infName.empty()) installedInfs_.push_back(infName);
  return adapter;
}

DWORD DeviceTest::CallInstallDevice(FakeAdapter& adapter, bool postProcessing) {
  COINSTALLER_CONTEXT_DATA context = {};
  context.PostProcessing = postProcessing;
  context.InstallResult = NO_ERROR;
  return export_->Call(DIF_INSTALLDEVICE, adapter.set(), adapter.device(), &context);
}

// Wine calls a co-installer only before the class installer: it never makes
// the call after it that ERROR_DI_POSTPROCESSING_REQUIRED asks for (it logs
// "Co-installer postprocessing not implemented"). The test makes that call
// itself, with the real device set and element, where the platform did not.
DWORD DeviceTest::MakePostProcessingCall(FakeAdapter& adapter) {
  const std::vector<std::string> lines = Lines();
  if (std::find(lines.begin(), lines.end(), "DIF_INSTALLDEVICE PostProcessing") != lines.end()) return NO_ERROR;
  return CallInstallDevice(adapter, true);
}

}  // namespace coinstaller_test
