// The version the platform reports decides the co-installer's course. Wine
// reports a version per program (HKCU\Software\Wine\AppDefaults\<program>
// "Version"), read when the program starts, so each case runs the host
// program device_setup_host.exe afresh.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "coinstaller/tests/device_test.h"
#include "coinstaller/tests/line_matchers.h"
#include "common/core/argument_quote.h"
#include "testsupport/process_runner.h"
#include "testsupport/registry_values.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"

namespace coinstaller_test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\device_setup_host.exe";

struct HostRun {
  testsupport::RunResult run;
  std::map<std::string, std::string> report;  // the host's key=value lines
  std::vector<std::string> lines;             // the co-installer's debug lines
};

class VersionPerProgramTest : public DeviceTest {
 protected:
  // Runs the host with the platform's version set for it (none: the
  // platform's own), with this test as its debugger.
  HostRun RunHost(const wchar_t* version, const std::wstring& arguments = L"") {
    testsupport::ScopedRegistryKey appDefaults(HKEY_CURRENT_USER, kAppDefaults);
    if (version != nullptr) {
      EXPECT_TRUE(testsupport::SetString(HKEY_CURRENT_USER, kAppDefaults, L"Version", version));
    }
    testsupport::RunOptions options;
    options.commandLine = rav::QuoteArgument(testsupport::BinPath(L"device_setup_host.exe").wstring()) +
                          L" " +
                          (arguments.empty() ? rav::QuoteArgument(inf().wstring()) + L" RAVTEST\\ROW"
                                             : arguments);
    options.captureOutput = true;
    HostRun host;
    host.run = testsupport::RunProgram(options);
    for (const std::string& line : testsupport::SplitLines(host.run.standardOutput)) {
      const std::size_t equals = line.find('=');
      if (equals != std::string::npos) host.report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    host.lines = CoInstallerLines(host.run.debugOutput);
    RemoveInstalledInf(host.report["inf"]);
    return host;
  }
};

TEST_F(VersionPerProgramTest, Version50AsksForNoSecondPassSoNoCountryAndNoBackup) {
  const HostRun host = RunHost(L"win2k");
  ASSERT_TRUE(host.run.started);
  ASSERT_EQ(host.run.exitCode, 0u) << host.run.standardOutput << host.run.standardError;
  if (host.report.at("version") != "5.0") {
    GTEST_SKIP() << "this platform does not report a chosen version per program";
  }
  EXPECT_EQ(host.report.at("first-pass"), "0x00000000");
  EXPECT_TRUE(ContainsInOrder(host.lines, {"DIF_INSTALLDEVICE", "No post-processing required."}));
  EXPECT_THAT(host.lines, Not(Contains("Post-processing is required.")));
  EXPECT_THAT(host.lines, Not(Contains("DIF_INSTALLDEVICE PostProcessing")));
  EXPECT_EQ(host.report.at("country"), "none");
  EXPECT_EQ(host.report.at("backup"), "absent");
}

// Only reachable by calling it directly: on 5.0 no pass ever asks for it.
TEST_F(VersionPerProgramTest, Version50TakesTheLocationFromTheDefaultLanguagesLocale) {
  const HostRun host = RunHost(L"win2k", L"--location");
  ASSERT_EQ(host.run.exitCode, 0u) << host.run.standardOutput << host.run.standardError;
  if (host.report.at("version") != "5.0") {
    GTEST_SKIP() << "this platform does not report a chosen version per program";
  }
  char country[8] = {};
  ASSERT_GT(GetLocaleInfoA(MAKELCID(GetUserDefaultLangID(), SORT_DEFAULT), LOCALE_SISO3166CTRYNAME, country,
                           sizeof country),
            0);
  EXPECT_EQ(host.report.at("location"), country);
  EXPECT_THAT(host.lines, testing::ElementsAre("Leaving GetUserLocation()"));
}

TEST_F(VersionPerProgramTest, Version51ReadsTheHostsOwnLocationWithoutLookingForTheUser) {
  const HostRun host = RunHost(L"winxp");
  ASSERT_EQ(host.run.exitCode, 0u) << host.run.standardOutput << host.run.standardError;
  if (host.report.at("version") != "5.1") {
    GTEST_SKIP() << "this platform does not report a chosen version per program";
  }
  EXPECT_EQ(host.report.at("first-pass"), "0xE0000226");
  EXPECT_TRUE(ContainsInOrder(host.lines, {"Post-processing is required.", "DIF_INSTALLDEVICE PostProcessing",
                                           "ROW card detected.", "Leaving GetUserLocation()",
                                           "User Location: " + ThisUsersCountry(),
                                           "Inf file is successfully backed up."}));
  EXPECT_TRUE(HasLineStartingWith(host.lines, "GeoId: ["));
  EXPECT_FALSE(HasLineStartingWith(host.lines, "Entering... GetUserToken()"));
  EXPECT_THAT(host.lines, Not(Contains("Successfully impersonated logged on user.")));
  EXPECT_THAT(host.run.standardOutput, Not(HasSubstr("GetCurrentUser()")));
  EXPECT_EQ(host.report.at("country"), ThisUsersCountry());
  EXPECT_EQ(host.report.at("backup"), "present");
}

TEST_F(VersionPerProgramTest, CurrentVersionsImpersonateTheConsoleUser) {
  const HostRun host = RunHost(nullptr);
  ASSERT_EQ(host.run.exitCode, 0u) << host.run.standardOutput << host.run.standardError;
  ASSERT_GE(std::stoi(host.report.at("version")), 6) << host.report.at("version");
  EXPECT_EQ(host.report.at("first-pass"), "0xE0000226");
  EXPECT_TRUE(ContainsInOrder(host.lines, {"DIF_INSTALLDEVICE PostProcessing", "ROW card detected.",
                                           "Entering... GetUserToken()",
                                           "Successfully impersonated logged on user.",
                                           "User Location: " + ThisUsersCountry()}));
  // The console-user lookup reports on the host's standard output.
  EXPECT_THAT(host.run.standardOutput, HasSubstr("GetCurrentUser(): successfully loaded libraries\n"));
  EXPECT_EQ(host.report.at("country"), ThisUsersCountry());
  EXPECT_EQ(host.report.at("backup"), "present");
}

}  // namespace
}  // namespace coinstaller_test
