#pragma once
// The fixture of the tests that run the co-installer inside the platform's
// own SetupAPI: ravcoinst.dll in the system directory, the sample INF in a
// scratch directory, fake adapters installed from it, and the co-installer's
// debug lines as this process writes them (SetupAPI loads the library here).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testsupport/debug_capture.h"
#include "testsupport/dir_tree.h"
#include "testsupport/fake_adapter.h"
#include "testsupport/installed_files.h"

namespace coinstaller_test {

using testsupport::ClassInstallerResult;
using testsupport::CoInstallerExport;
using testsupport::FakeAdapter;
using testsupport::kCapsCard;
using testsupport::kPlainCard;
using testsupport::kRowCard;
using testsupport::kUsCard;
using testsupport::RawValue;
using testsupport::RemoveInstalledInf;
using testsupport::SystemDirectory;
using testsupport::SystemFile;
using testsupport::WindowsDirectory;

inline constexpr char kPrefix[] = "*** RAVCOINST ***: ";

// The co-installer's lines among `messages`, without prefix and line end.
// Every line it writes must carry the prefix and end in exactly one CR LF.
std::vector<std::string> CoInstallerLines(const std::vector<testsupport::DebugMessage>& messages);

// The two-letter code of this process's user. Under Wine the console user's
// shell runs as the same account, as it does on a desktop test machine.
std::string ThisUsersCountry();

// The Windows directory as the co-installer's narrow calls spell it.
std::string NarrowWindowsDirectory();

// Wine's SetupDiSetClassInstallParamsA is a stub that fails without setting
// the last error. Clearing a device's parameters (none given) is harmless
// where the call is real, and tells the two apart.
bool PlatformTakesClassInstallParams(FakeAdapter& adapter);

// "Country" as stored: REG_SZ with the code's characters. The co-installer
// counts only the characters; RegSetValueExA then adds the terminator the
// count leaves out when one follows the data in memory (Wine does so, as NT
// does), so the stored data may end in that one NUL, never in more.
::testing::AssertionResult StoredCountryIs(FakeAdapter& adapter, const std::string& code);

class DeviceTest : public ::testing::Test {
 protected:
  DeviceTest();
  ~DeviceTest() override;

  // A fake adapter created and registered, its driver not yet selected;
  // from the sample INF unless another is given.
  std::unique_ptr<FakeAdapter> CreateAdapter(const char* hardwareId);
  std::unique_ptr<FakeAdapter> CreateAdapter(const char* hardwareId, const std::filesystem::path& inf);

  // A fake adapter installed through SetupAPI, which makes the co-installer's
  // first pass. Its installed INF is removed again at the end of the test.
  std::unique_ptr<FakeAdapter> InstallAdapter(const char* hardwareId);
  std::unique_ptr<FakeAdapter> InstallAdapter(const char* hardwareId, const std::filesystem::path& inf);

  // The call after the class installer that the first pass asked for.
  DWORD MakePostProcessingCall(FakeAdapter& adapter);

  // A first or second DIF_INSTALLDEVICE pass, called directly.
  DWORD CallInstallDevice(FakeAdapter& adapter, bool postProcessing);

  std::vector<std::string> Lines() const { return CoInstallerLines(capture_.Messages()); }
  void ClearLines() { capture_.Clear(); }

  const std::filesystem::path& inf() const { return inf_; }

  testsupport::InProcessDebugCapture capture_;
  testsupport::TempDir scratch_;
  std::filesystem::path inf_;
  SystemFile coInstallerFile_;
  std::optional<CoInstallerExport> export_;

 private:
  std::vector<std::string> installedInfs_;
};

}  // namespace coinstaller_test
