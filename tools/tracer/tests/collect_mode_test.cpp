// ravtrace collect against a PC where the adapter's software left its
// traces: uninstall records in both registry views, a package folder, a
// driver key naming the co-installer (and one that does not), the setup's
// status, the user's ravwl.log and a device-installation log. The test
// writes machine-wide state other tests write too, so CTest runs it alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "common/core/argument_quote.h"
#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"
#include "testsupport/registry_values.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"
#include "tools/tracer/tests/ravtrace_driver.h"

namespace tracer_test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using rav::QuoteArgument;
using testsupport::RunResult;

constexpr wchar_t kAdapterRecord[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane 802.11b Network Adapter";
constexpr wchar_t kNetClass[] = L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";
constexpr wchar_t kStatusKey[] = L"SOFTWARE\\RavSetup\\Status";

fs::path WindowsDirectory() {
  wchar_t path[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(path, MAX_PATH);
  return path;
}

// The real System32, where the co-installer keeps its INF backup: a 32-bit
// test under WOW64 reaches it through "Sysnative" (its "System32" is
// SysWOW64).
fs::path NativeSystemDirectory() {
  BOOL wow64 = FALSE;
  return WindowsDirectory() / (IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? L"Sysnative" : L"System32");
}

// A file the test puts where the platform keeps its own, removed again.
class PlacedFile {
 public:
  PlacedFile(fs::path path, const std::string& content) : path_(std::move(path)) {
    existed_ = fs::exists(path_);
    if (!existed_) testsupport::WriteFile(path_, content);
  }
  ~PlacedFile() {
    if (!existed_) DeleteFileW(path_.c_str());
  }
  PlacedFile(const PlacedFile&) = delete;
  PlacedFile& operator=(const PlacedFile&) = delete;
  bool placed() const { return !existed_; }

 private:
  fs::path path_;
  bool existed_ = false;
};

RunResult Collect(const std::wstring& file, const fs::path& temp) {
  testsupport::RunOptions options;
  options.commandLine = QuoteArgument(RavtracePath()) + L" collect " + QuoteArgument(file);
  options.captureDebugOutput = false;
  options.captureOutput = true;
  options.environment = {{L"TMP", temp.wstring()}, {L"TEMP", temp.wstring()}};
  return testsupport::RunProgram(options);
}

TEST(CollectMode, OneBundleWithWhatTheSoftwareLeftOnThePc) {
  testsupport::TempDir scratch;
  const fs::path package = scratch.path() / L"Corvane 802.11";
  const fs::path engine = scratch.path() / L"engine";
  const fs::path temp = scratch.path() / L"temp";
  for (const fs::path& folder : {package, engine, temp}) fs::create_directories(folder);
  fs::copy_file(testsupport::BinPath(L"ravuninst.exe"), package / L"ravuninst.exe");
  fs::copy_file(testsupport::BinPath(L"launcher.exe"), engine / L"Setup.exe");
  testsupport::WriteFile(package / L"ravwlantest.inf", "; the package's INF\r\n");
  testsupport::WriteFile(temp / L"ravwl.log", "10:00:01: Start -- \"ravuninst.exe\"\r\n10:00:02: caf\xC3\xA9 done\r\n");

  testsupport::ScopedRegistryKey record64(HKEY_LOCAL_MACHINE, kAdapterRecord, KEY_WOW64_64KEY);
  testsupport::ScopedRegistryKey record32(HKEY_LOCAL_MACHINE, kAdapterRecord, KEY_WOW64_32KEY);
  const std::wstring uninstall = L"\"" + (package / L"ravuninst.exe").wstring() + L"\" verbose /rootdir=\"" +
                                 engine.wstring() + L"\"";
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, kAdapterRecord, L"UninstallString", uninstall, REG_SZ,
                                     KEY_WOW64_64KEY));
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, kAdapterRecord, L"DisplayName", L"seen in the 32-bit view",
                                     REG_SZ, KEY_WOW64_32KEY));
  const std::wstring ours = std::wstring(kNetClass) + L"\\9876";
  const std::wstring other = std::wstring(kNetClass) + L"\\9877";
  testsupport::ScopedRegistryKey ourKey(HKEY_LOCAL_MACHINE, ours, KEY_WOW64_64KEY);
  testsupport::ScopedRegistryKey otherKey(HKEY_LOCAL_MACHINE, other, KEY_WOW64_64KEY);
  const wchar_t coInstaller[] = L"ravcoinst.dll,RAVWlanCoInstall\0";
  ASSERT_TRUE(testsupport::SetRegistryValue(HKEY_LOCAL_MACHINE, ours, L"CoInstallers32", REG_MULTI_SZ, coInstaller,
                                            sizeof coInstaller, KEY_WOW64_64KEY));
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, ours, L"InfPath", L"oem98.inf", REG_SZ, KEY_WOW64_64KEY));
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, ours, L"MatchingDeviceId", L"ravtest\\bundle", REG_SZ,
                                     KEY_WOW64_64KEY));
  // Two characters and no terminating NUL (the system adds one to data
  // whose next character is a NUL).
  ASSERT_TRUE(testsupport::SetRegistryValue(HKEY_LOCAL_MACHINE, ours, L"Country", REG_SZ, L"DEX", 4, KEY_WOW64_64KEY));
  const wchar_t otherCoInstaller[] = L"other.dll,OtherCoInstall\0";
  ASSERT_TRUE(testsupport::SetRegistryValue(HKEY_LOCAL_MACHINE, other, L"CoInstallers32", REG_MULTI_SZ,
                                            otherCoInstaller, sizeof otherCoInstaller, KEY_WOW64_64KEY));
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, other, L"InfPath", L"oem99.inf", REG_SZ, KEY_WOW64_64KEY));
  testsupport::ScopedRegistryKey status(HKEY_CURRENT_USER, kStatusKey);
  ASSERT_TRUE(testsupport::SetDword(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode", 1618));

  const PlacedFile backup(NativeSystemDirectory() / L"oem98.inf", "; the INF backup\r\n");
  // Wine writes no device-installation log: the test puts one where Windows
  // keeps it (the prefix reports a version after XP).
  const std::vector<std::string> log = {
      "[Device Install Log]",
      ">>>  [Device Install (Hardware initiated) - RAVTEST\\BUNDLE\\0001]",
      ">>>  Section start 2026/12/01 10:00:00.000",
      "     ndv: Selected driver from oem98.inf",
      "<<<  Section end 2026/12/01 10:00:05.000",
      "<<<  [Exit status: SUCCESS]",
      ">>>  [Device Install (Hardware initiated) - PCI\\VEN_8086\\0002]",
      ">>>  Section start 2026/12/01 10:01:00.000",
      "     dvi: unrelated device line",
      "     inf: Opened C:\\pkg\\ravwlantest.inf",
      "<<<  Section end 2026/12/01 10:01:01.000",
  };
  const auto joined = [&log](std::initializer_list<std::size_t> lines) {
    std::string text;
    for (std::size_t line : lines) text += log[line] + "\r\n";
    return text;
  };
  const PlacedFile setupLog(WindowsDirectory() / L"inf" / L"setupapi.dev.log",
                            joined({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  ASSERT_TRUE(setupLog.placed()) << "the platform has a device-installation log of its own";

  const fs::path bundle = scratch.path() / L"bundle.txt";
  const RunResult run = Collect(bundle.wstring(), temp);
  ASSERT_EQ(run.exitCode, 0u) << run.standardError;
  EXPECT_EQ(run.standardError, "ravtrace: support bundle written: " + testsupport::Narrow(bundle.wstring()) + " (" +
                                   std::to_string(fs::file_size(bundle)) + " bytes)\r\n");
  const std::string text = testsupport::ReadFile(bundle);
  const std::string packageText = testsupport::Narrow(package.wstring());
  for (const std::string& piece : {
           std::string("== Windows ==\r\nWindows "),
           std::string(testsupport::Narrow(kAdapterRecord)) + " (64-bit view):\r\n  \"UninstallString\" REG_SZ",
           std::string(testsupport::Narrow(kAdapterRecord)) +
               " (32-bit view):\r\n  \"DisplayName\" REG_SZ (48 bytes) = \"seen in the 32-bit view\"\r\n",
           "ravuninst.exe: " + packageText + "\\ravuninst.exe: version 6.31.165.2, ",
           "Setup.exe: " + testsupport::Narrow(engine.wstring()) + "\\Setup.exe: version 6.31.165.2, ",
           std::string("ravcoinst.dll: not found\r\n"),
           "INF in the package: " + packageText + "\\ravwlantest.inf\r\n",
           std::string("\\{4d36e972-e325-11ce-bfc1-08002be10318}\\9876:\r\n"),
           std::string("  \"Country\" REG_SZ (4 bytes) = \"DE\" (no terminating NUL)\r\n"),
           std::string("  \"InfPath\" REG_SZ (20 bytes) = \"oem98.inf\"\r\n"),
           std::string("\\System32\\oem98.inf: no version resource, 18 bytes, changed "),
           std::string("== The setup's status (HKEY_CURRENT_USER\\SOFTWARE\\RavSetup\\Status) ==\r\n"
                       "\"ErrorCode\" REG_DWORD (4 bytes) = 1618 (0x00000652)\r\n"),
           std::string("10:00:01: Start -- \"ravuninst.exe\"\r\n10:00:02: caf\xC3\xA9 done\r\n"),
           joined({1, 2, 3, 4, 5, 6, 7, 9, 10}),  // the adapter's section, and a line naming its INF
           std::string("== end of bundle ==\r\n"),
       }) {
    EXPECT_THAT(text, HasSubstr(piece));
  }
  EXPECT_THAT(text, Not(HasSubstr("9877"))) << "a driver key of another co-installer";
  EXPECT_THAT(text, Not(HasSubstr("unrelated device line")));
  EXPECT_THAT(text, Not(HasSubstr("[Device Install Log]")));

  // Only ever a new file: not over the bundle just written, not into a
  // device.
  const RunResult again = Collect(bundle.wstring(), temp);
  EXPECT_EQ(again.exitCode, 1u);
  EXPECT_THAT(again.standardError, HasSubstr("it exists already"));
  EXPECT_EQ(testsupport::ReadFile(bundle), text);
  const RunResult device = Collect(L"NUL", temp);
  EXPECT_EQ(device.exitCode, 1u);
  EXPECT_THAT(device.standardError, HasSubstr("not writing to NUL"));
  EXPECT_EQ(RunRavtrace(L"collect").exitCode, 2u);
}

}  // namespace
}  // namespace tracer_test
