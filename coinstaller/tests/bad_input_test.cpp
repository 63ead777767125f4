// Hostile and broken input to the co-installer, one row per input: the
// request that carries it to the co-installer and everything that request
// must leave behind (the answer to SetupAPI, the log lines that matter, the
// files in the system directory and outside it, the driver key's "Country").
//
// Rows call ravcoinst.dll's export, loaded from the system directory as
// SetupAPI loads it, with the real device set and element of a fake adapter
// installed through the platform's SetupAPI. Rows that need a Windows
// directory that could not be read (the platform does not fail that call) or
// a Winlogon "Shell" setting of their own (a test must not rewrite the
// machine's) call the co-installer's own functions, through their seams.
//
// Rows that other tests prove exactly, not repeated here:
//  - an "InfPath" name one character too long for "<windows>\System32\<name>":
//    InstallDeviceTest.BackupPathTooLongForItsBufferIsNotFormed and
//    RemoveDeviceTest.BackupPathThatDoesNotFitIsNeitherFormedNorDeleted;
//  - no "InfPath" value: InstallDeviceTest.MissingInfPathSkipsOnlyTheBackup and
//    RemoveDeviceTest.WithoutInfPathOnlyTheDisablingHappens;
//  - the selected driver's INF gone before the second pass:
//    InstallDeviceTest.InfThatFailsToOpenCountsAsRowCard;
//  - a device without a driver key: RemoveDeviceTest.DeviceWithoutDriverKeyIsLeftAlone;
//  - no Winlogon key or no "Shell" value:
//    UserLocationTest.UnreadableShellSettingKeepsThePlatformDefault;
//  - the Windows-directory value itself: WindowsDirectory.* (windows_directory_test.cpp).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "coinstaller/inf_backup.h"
#include "coinstaller/remove_device.h"
#include "coinstaller/tests/companion_libraries.h"
#include "coinstaller/tests/device_test.h"
#include "coinstaller/user_location.h"
#include "coinstaller/windows_directory.h"
#include "common/core/ascii_case.h"
#include "testsupport/dir_tree.h"
#include "testsupport/registry_values.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"

namespace coinstaller_test {
namespace {

namespace fs = std::filesystem;

// A model of the INF the long-line rows write (see LongLineInf).
constexpr char kLongLineCard[] = "RAVTEST\\LONG";

// A Winlogon key of the rows' own below HKEY_LOCAL_MACHINE.
constexpr char kRowsWinlogonKey[] = "Software\\RavCoinstBadInput\\Winlogon";
constexpr wchar_t kRowsWinlogonRoot[] = L"Software\\RavCoinstBadInput";

// What a row plants in the system directory under the INF's name.
constexpr char kPlantedBackup[] = "; planted before the request\r\n";

// The state the row starts from.
enum class Start {
  NoDevice,   // no adapter at all
  Installed,  // installed through SetupAPI: the first pass was made, no second one
  BackedUp,   // and the second pass too: INF backup (and, for a ROW card, "Country") in place
};

enum class Request {
  InstallFirstPass,                   // export, DIF_INSTALLDEVICE, PostProcessing 0
  InstallSecondPass,                  // export, DIF_INSTALLDEVICE, PostProcessing 1
  Remove,                             // export, DIF_REMOVE
  FinishInstall,                      // export, DIF_NEWDEVICEWIZARD_FINISHINSTALL
  BackUpFromUnreadWindowsDirectory,   // BackUpInfFile, the directory unread (ERROR_ACCESS_DENIED)
  CleanUpFromUnreadWindowsDirectory,  // CleanUpSystemDirectory, likewise
  UserLocation,                       // GetUserLocation on the rows' Winlogon key
};

enum class Arg { Real, Null, Invalid };  // INVALID_HANDLE_VALUE, for the set

enum class Country { Absent, Written };     // Written: this user's two-letter code
enum class Backup { Absent, AsInstalled };  // AsInstalled: the installed INF's bytes
enum class Companions { Kept, Deleted };

// A driver-key value the row stores before its request, with or without the
// terminating NUL counted in its size.
struct DriverValue {
  const char* name;
  std::string text;
  bool terminated = true;
};

class BadInputTest;

struct Row {
  std::string name;
  // Input.
  const char* card = kRowCard;
  Start start = Start::Installed;
  std::vector<DriverValue> driverValues;
  void (*arrange)(BadInputTest&) = nullptr;
  std::vector<std::string> canaries;  // files planted outside what the co-installer owns
  // Request.
  Request request = Request::InstallSecondPass;
  Arg set = Arg::Real;
  Arg element = Arg::Real;
  bool context = true;
  // Outcome. Lines may use {windows}, {inf} and {country}; a line ending in
  // '*' matches every line that starts with the text before it.
  DWORD result = NO_ERROR;
  std::vector<std::string> inOrder;  // these lines, in this order, others between them
  std::vector<std::string> tail;     // the last lines, exactly, from the first of them on
  std::vector<std::string> absent;   // none of these
  Country country = Country::Absent;
  Backup backup = Backup::Absent;
  Companions companions = Companions::Kept;
  bool unregisters = false;               // regsvr32 ran the stand-in's DllUnregisterServer
  std::vector<std::string> neverCreated;  // files that must not exist afterwards
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

bool LineMatches(const std::string& line, const std::string& pattern) {
  if (!pattern.empty() && pattern.back() == '*') return line.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
  return line == pattern;
}

std::string Listing(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

::testing::AssertionResult HasInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  auto at = lines.begin();
  for (const std::string& pattern : expected) {
    at = std::find_if(at, lines.end(), [&](const std::string& line) { return LineMatches(line, pattern); });
    if (at == lines.end()) {
      return ::testing::AssertionFailure() << "missing (in this order): \"" << pattern << "\"\nlines were:\n"
                                           << Listing(lines);
    }
    ++at;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult EndsWith(const std::vector<std::string>& lines, const std::vector<std::string>& tail) {
  if (tail.empty()) return ::testing::AssertionSuccess();
  const auto first =
      std::find_if(lines.begin(), lines.end(), [&](const std::string& line) { return LineMatches(line, tail[0]); });
  const std::vector<std::string> rest(first, lines.end());
  bool same = rest.size() == tail.size();
  for (std::size_t i = 0; same && i < rest.size(); ++i) same = LineMatches(rest[i], tail[i]);
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected to end with:\n"
                                       << Listing(tail) << "lines were:\n"
                                       << Listing(lines);
}

::testing::AssertionResult HasNone(const std::vector<std::string>& lines, const std::vector<std::string>& absent) {
  for (const std::string& pattern : absent) {
    for (const std::string& line : lines) {
      if (LineMatches(line, pattern)) return ::testing::AssertionFailure() << "unexpected line: \"" << line << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The sample INF with one more model: its install section's AddReg line
// names cc.reg first and then the US card's registry section so often that
// the line, as SetupGetLineTextA joins it, needs more than 4,096 bytes.
// Written as continuation lines, each short, so that no parser's limit for
// one line of the file applies, only the logical line is long.
std::string LongLineInf(const std::string& sample) {
  std::string inf = sample;
  inf += "\r\n[Corvane.NTamd64]\r\n\"Corvane 802.11 USB Adapter (long AddReg line)\" = LongCard, RAVTEST\\LONG\r\n";
  inf += "\r\n[LongCard.NTamd64]\r\nCharacteristics = 0x84\r\nBusType = 15\r\nAddReg = cc.reg";
  for (int line = 0; line < 40; ++line) {
    inf += ", \\\r\n   ";
    for (int field = 0; field < 10; ++field) inf += field == 0 ? "UsCard.reg" : ", UsCard.reg";
  }
  inf += "\r\n\r\n[LongCard.NTamd64.Services]\r\nAddService = , 0x00000002\r\n";
  inf += "\r\n[LongCard.NTamd64.CoInstallers]\r\nAddReg = CoInstaller.reg\r\n";
  return inf;
}

// The names in the directories where a faulty co-installer could delete or
// create files: the system directory, the Windows and INF directories and the
// root of the system drive. Names in lower case, without subdirectories.
using DirectoryNames = std::map<fs::path, std::set<std::string>>;

DirectoryNames ListWatchedDirectories() {
  DirectoryNames listing;
  for (const fs::path& directory :
       {SystemDirectory(), WindowsDirectory(), WindowsDirectory() / L"inf", WindowsDirectory().root_path()}) {
    std::set<std::string>& names = listing[directory];
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
      names.insert(rav::AsciiLowered(testsupport::Narrow(entry.path().filename().wstring())));
    }
  }
  return listing;
}

// The current directory for one row: a path formed from an empty Windows
// directory ("\System32\<name>") is relative to the root of its drive.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const fs::path& directory) : previous_(fs::current_path()) {
    fs::current_path(directory);
  }
  ~ScopedCurrentDirectory() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
  }

 private:
  fs::path previous_;
};

class BadInputTest : public DeviceTest, public ::testing::WithParamInterface<Row> {
 public:
  BadInputTest() : machineShell_(MachineShell()) {}

  ~BadInputTest() override {
    RestoreNation();
    // Read-only files a row left would outlive the run and fail the next.
    for (const fs::path& path : {companions_.userInterfacePath(), companions_.servicePath()}) MakeWritable(path);
    if (!infName_.empty()) MakeWritable(SystemDirectory() / infName_);
    // So are files a faulty co-installer made where it must not.
    for (const fs::path& file : removeAfter_) {
      MakeWritable(file);
      std::error_code ignored;
      fs::remove(file, ignored);
    }
    for (auto directory = createdDirectories_.rbegin(); directory != createdDirectories_.rend(); ++directory) {
      std::error_code ignored;
      fs::remove(*directory, ignored);  // only when empty
    }
  }

  static void MakeWritable(const fs::path& path) { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL); }

  // The user's nation GeoID ("Nation" in the user's "Geo" settings), put
  // back by RestoreNation. Wine reads it from there as it stands, so "-1" is
  // a user without a nation; where the platform still reports one the row
  // is skipped.
  void SetNation(const std::wstring& nation) {
    savedNation_ = testsupport::ReadRegistryValue(HKEY_CURRENT_USER, kGeoKey, L"Nation");
    nationChanged_ = true;
    ASSERT_TRUE(testsupport::SetString(HKEY_CURRENT_USER, kGeoKey, L"Nation", nation));
    if (GetUserGeoID(GEOCLASS_NATION) != GEOID_NOT_AVAILABLE) GTEST_SKIP() << "the platform still reports a nation";
  }
  void RestoreNation() {
    if (!std::exchange(nationChanged_, false)) return;
    if (savedNation_) {
      EXPECT_TRUE(testsupport::SetRegistryValue(HKEY_CURRENT_USER, kGeoKey, L"Nation", savedNation_->type,
                                                savedNation_->data.data(),
                                                static_cast<DWORD>(savedNation_->data.size())));
    } else {
      testsupport::DeleteRegistryValue(HKEY_CURRENT_USER, kGeoKey, L"Nation");
    }
  }

  // A regsvr32.exe planted in the current directory, which a command line
  // without a path would find before the system's own.
  void PlantRegsvr32InCurrentDirectory() {
    const fs::path planted = scratch_.path() / L"cwd";
    fs::create_directories(planted);
    fs::copy_file(testsupport::BinPath(L"recorder.exe"), planted / L"regsvr32.exe");
    currentDirectory_.emplace(planted);
  }

  // {windows}, {inf} and {country} replaced by this run's values.
  std::string Expand(const std::string& text) const {
    return Replaced(Replaced(Replaced(text, "{windows}", NarrowWindowsDirectory()), "{inf}", infName_), "{country}",
                    ThisUsersCountry());
  }
  std::vector<std::string> Expand(const std::vector<std::string>& lines) const {
    std::vector<std::string> expanded;
    for (const std::string& line : lines) expanded.push_back(Expand(line));
    return expanded;
  }

  fs::path BackupPath() const { return SystemDirectory() / testsupport::Widen(infName_); }
  fs::path InstalledInf() const { return WindowsDirectory() / L"inf" / testsupport::Widen(infName_); }

  // The row's files outside what the co-installer owns, each holding its own
  // path, in directories created for them where needed.
  void PlantCanary(const fs::path& path) {
    std::vector<fs::path> missing;
    for (fs::path parent = path.parent_path(); !fs::exists(parent); parent = parent.parent_path()) {
      missing.push_back(parent);
    }
    for (auto directory = missing.rbegin(); directory != missing.rend(); ++directory) {
      fs::create_directory(*directory);
      createdDirectories_.push_back(*directory);
    }
    testsupport::WriteFile(path, testsupport::Narrow(path.wstring()));
    removeAfter_.push_back(path);
  }

  void MakeReadOnly(const fs::path& path) { ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY)); }

  void PlantReadOnlyBackup() {
    testsupport::WriteFile(BackupPath(), kPlantedBackup);
    MakeReadOnly(BackupPath());
  }

  void SetShell(const std::string& text, bool terminated) {
    rav::UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRowsWinlogonKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    std::string buffer = text + (terminated ? '\0' : '#');  // see FakeAdapter::SetDriverValue
    ASSERT_EQ(RegSetValueExA(key.get(), "Shell", 0, REG_SZ, reinterpret_cast<const BYTE*>(buffer.data()),
                             static_cast<DWORD>(text.size() + (terminated ? 1 : 0))),
              ERROR_SUCCESS);
  }

  static std::optional<testsupport::RegistryValue> MachineShell() {
    return testsupport::ReadRegistryValue(HKEY_LOCAL_MACHINE,
                                          L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"Shell");
  }

  std::unique_ptr<FakeAdapter> adapter_;
  std::string infName_;
  fs::path cardInf_;  // the INF the adapter was installed from
  CompanionLibraries companions_{scratch_.path()};

 protected:
  void Arrange(const Row& row);
  void Act(const Row& row);
  void CheckOutcome(const Row& row);

  DWORD result_ = NO_ERROR;
  DirectoryNames before_;
  std::optional<ScopedCurrentDirectory> currentDirectory_;
  std::optional<std::string> location_;

 private:
  std::optional<testsupport::RegistryValue> machineShell_;
  static constexpr wchar_t kGeoKey[] = L"Control Panel\\International\\Geo";
  std::optional<testsupport::RegistryValue> savedNation_;
  bool nationChanged_ = false;
  testsupport::ScopedRegistryKey rowsWinlogon_{HKEY_LOCAL_MACHINE, kRowsWinlogonRoot};
  std::vector<fs::path> removeAfter_;
  std::vector<fs::path> createdDirectories_;
};

void BadInputTest::Arrange(const Row& row) {
  if (row.start != Start::NoDevice) {
    cardInf_ = inf();
    if (row.card == std::string(kLongLineCard)) {
      cardInf_ = scratch_.path() / L"ravwlanlong.inf";
      testsupport::WriteFile(cardInf_, LongLineInf(testsupport::ReadFile(inf())));
    }
    adapter_ = InstallAdapter(row.card, cardInf_);
    infName_ = adapter_->DriverText("InfPath");
    ASSERT_FALSE(infName_.empty());
    if (row.start == Start::BackedUp) {
      ASSERT_EQ(MakePostProcessingCall(*adapter_), NO_ERROR);
      ASSERT_TRUE(fs::exists(BackupPath()));
    } else {
      ASSERT_FALSE(fs::exists(BackupPath()));
    }
  }
  ASSERT_TRUE(companions_.Place());
  for (const std::string& canary : row.canaries) PlantCanary(testsupport::Widen(Expand(canary)));
  for (const std::string& never : row.neverCreated) removeAfter_.push_back(testsupport::Widen(Expand(never)));
  for (const DriverValue& value : row.driverValues) {
    ASSERT_TRUE(adapter_->SetDriverValue(value.name, REG_SZ, value.terminated ? value.text + '\0' : value.text));
    const std::optional<RawValue> stored = adapter_->DriverValue(value.name);
    ASSERT_TRUE(stored.has_value());
    ASSERT_EQ(stored->data.size(), value.text.size() + (value.terminated ? 1 : 0)) << value.name;
  }
  if (row.arrange) row.arrange(*this);
}

void BadInputTest::Act(const Row& row) {
  before_ = ListWatchedDirectories();
  ClearLines();
  HDEVINFO set = nullptr;
  PSP_DEVINFO_DATA element = nullptr;
  if (adapter_) {
    set = row.set == Arg::Real ? adapter_->set() : row.set == Arg::Null ? nullptr : INVALID_HANDLE_VALUE;
    element = row.element == Arg::Real ? adapter_->device() : nullptr;
  }
  COINSTALLER_CONTEXT_DATA context = {};
  context.PostProcessing = row.request == Request::InstallSecondPass;
  context.InstallResult = NO_ERROR;
  PCOINSTALLER_CONTEXT_DATA contextArg = row.context ? &context : nullptr;
  const coinstaller::WindowsDirectory unread(rav::Failure{ERROR_ACCESS_DENIED});

  switch (row.request) {
    case Request::InstallFirstPass:
    case Request::InstallSecondPass:
      result_ = export_->Call(DIF_INSTALLDEVICE, set, element, contextArg);
      break;
    case Request::Remove:
      result_ = export_->Call(DIF_REMOVE, set, element, contextArg);
      break;
    case Request::FinishInstall:
      result_ = export_->Call(DIF_NEWDEVICEWIZARD_FINISHINSTALL, set, element, contextArg);
      break;
    case Request::BackUpFromUnreadWindowsDirectory: {
      const ScopedCurrentDirectory root(L"C:\\");
      coinstaller::BackUpInfFile(adapter_->OpenDriverKey().get(), unread);
      break;
    }
    case Request::CleanUpFromUnreadWindowsDirectory: {
      const ScopedCurrentDirectory root(L"C:\\");
      coinstaller::CleanUpSystemDirectory(unread, "ravwlantest.inf");
      break;
    }
    case Request::UserLocation:
      location_ = coinstaller::GetUserLocation(kRowsWinlogonKey);
      break;
  }
}

void BadInputTest::CheckOutcome(const Row& row) {
  const std::vector<std::string> lines = Lines();
  EXPECT_EQ(result_, row.result);
  EXPECT_TRUE(HasInOrder(lines, Expand(row.inOrder)));
  EXPECT_TRUE(EndsWith(lines, Expand(row.tail)));
  EXPECT_TRUE(HasNone(lines, Expand(row.absent)));
  if (row.request == Request::UserLocation) {
    EXPECT_EQ(location_, ThisUsersCountry());
  }

  if (adapter_) {
    // The co-installer never removes the device itself.
    EXPECT_TRUE(adapter_->OpenDriverKey(KEY_QUERY_VALUE)) << "the driver key is gone";
    if (row.country == Country::Written) {
      EXPECT_TRUE(StoredCountryIs(*adapter_, ThisUsersCountry()));
    } else {
      EXPECT_FALSE(adapter_->DriverValue("Country").has_value()) << "\"Country\" was written";
    }
    switch (row.backup) {
      case Backup::Absent:
        EXPECT_FALSE(fs::exists(BackupPath())) << BackupPath();
        break;
      case Backup::AsInstalled:
        EXPECT_TRUE(fs::exists(BackupPath())) << BackupPath();
        EXPECT_EQ(testsupport::ReadFile(BackupPath()), testsupport::ReadFile(cardInf_));
        break;
    }
  }
  const bool kept = row.companions == Companions::Kept;
  EXPECT_EQ(fs::exists(companions_.userInterfacePath()), kept);
  EXPECT_EQ(fs::exists(companions_.servicePath()), kept);
  EXPECT_EQ(companions_.UnregisterRecords().size(), row.unregisters ? 1u : 0u)
      << testing::PrintToString(companions_.UnregisterRecords());

  // Only the co-installer's own files come and go, and only in the system
  // directory: the companion libraries may go, the backup may come or go.
  const std::string backup = rav::AsciiLowered(infName_);
  const DirectoryNames after = ListWatchedDirectories();
  for (const auto& [directory, names] : before_) {
    const std::set<std::string>& now = after.at(directory);
    const bool system = directory == SystemDirectory();
    for (const std::string& name : names) {
      const bool mayGo = system && (name == "ravihvui64.dll" || name == "ravihvsrv64.dll" || name == backup);
      EXPECT_TRUE(now.count(name) || mayGo) << "deleted: " << (directory / name);
    }
    for (const std::string& name : now) {
      EXPECT_TRUE(names.count(name) || (system && name == backup)) << "created: " << (directory / name);
    }
  }

  for (const std::string& canary : row.canaries) {
    const fs::path path = testsupport::Widen(Expand(canary));
    EXPECT_TRUE(fs::exists(path)) << "deleted: " << path;
    EXPECT_EQ(testsupport::ReadFile(path), testsupport::Narrow(path.wstring())) << "overwritten: " << path;
  }
  for (const std::string& never : row.neverCreated) {
    EXPECT_FALSE(fs::exists(testsupport::Widen(Expand(never)))) << "created: " << Expand(never);
  }
  EXPECT_EQ(MachineShell().has_value(), machineShell_.has_value());
  if (machineShell_ && MachineShell()) {
    EXPECT_EQ(MachineShell()->data, machineShell_->data);
  }
}

TEST_P(BadInputTest, LeavesOnlyWhatItShould) {
  const Row& row = GetParam();
  ASSERT_NO_FATAL_FAILURE(Arrange(row));
  if (IsSkipped()) return;
  Act(row);
  RestoreNation();
  currentDirectory_.reset();
  CheckOutcome(row);
}

// ---------------------------------------------------------------------------
// The rows.

const std::string kFailedDriverKeyForNoElement = "Failed to open driver registry. [err=87]";
const std::string kFailedDriverKeyForBadSet = "Failed to open driver registry. [err=6]";

// The end of a removal that deleted both companion libraries and the backup.
std::vector<std::string> RemovedEverything() {
  return {"Command: *", "{windows}\\System32\\ravihvsrv64.dll file is successfully deleted.",
          "{windows}\\System32\\ravihvui64.dll file is successfully deleted.",
          "Backup inf file is successfully deleted."};
}

std::vector<Row> Rows() {
  const std::string r256(256, 'R');
  const std::string e256(256, 'e');
  std::vector<Row> rows = {
      // --- The request's own arguments.
      // SetupAPI hands requests for the whole set without a device element;
      // a careless caller may hand one without a set. The host must live, and
      // nothing may be written, copied, deleted or disabled.
      // The first pass looks at nothing but the context.
      {.name = "NullElementFirstPass",
       .request = Request::InstallFirstPass,
       .element = Arg::Null,
       .result = ERROR_DI_POSTPROCESSING_REQUIRED,
       .tail = {"DIF_INSTALLDEVICE", "Post-processing is required."}},
      // Without an element there is no driver key: nothing is written or copied.
      {.name = "NullElementSecondPass",
       .element = Arg::Null,
       .tail = {"DIF_INSTALLDEVICE", "DIF_INSTALLDEVICE PostProcessing", "Fail: SetupDiGetSelectedDriver, error: *",
                "Fail: SetupOpenInfFile, error: *", kFailedDriverKeyForNoElement}},
      {.name = "NullElementAndSetSecondPass",
       .set = Arg::Null,
       .element = Arg::Null,
       .tail = {"DIF_INSTALLDEVICE", "DIF_INSTALLDEVICE PostProcessing", "Fail: SetupDiGetSelectedDriver, error: 6",
                "Fail: SetupOpenInfFile, error: *", kFailedDriverKeyForNoElement}},
      {.name = "NullElementAndInvalidSetSecondPass",
       .set = Arg::Invalid,
       .element = Arg::Null,
       .tail = {"DIF_INSTALLDEVICE", "DIF_INSTALLDEVICE PostProcessing", "Fail: SetupDiGetSelectedDriver, error: 6",
                "Fail: SetupOpenInfFile, error: *", kFailedDriverKeyForNoElement}},
      {.name = "NullElementRemove",
       .start = Start::BackedUp,
       .request = Request::Remove,
       .element = Arg::Null,
       .tail = {"DIF_REMOVE", kFailedDriverKeyForNoElement},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "NullElementAndSetRemove",
       .start = Start::BackedUp,
       .request = Request::Remove,
       .set = Arg::Null,
       .element = Arg::Null,
       .tail = {"DIF_REMOVE", kFailedDriverKeyForNoElement},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "NullElementAndInvalidSetRemove",
       .start = Start::BackedUp,
       .request = Request::Remove,
       .set = Arg::Invalid,
       .element = Arg::Null,
       .tail = {"DIF_REMOVE", kFailedDriverKeyForNoElement},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      // Parameters without an element would apply to every device of the set.
      {.name = "NullElementFinishInstall",
       .request = Request::FinishInstall,
       .element = Arg::Null,
       .tail = {"DIF_NEWDEVICEWIZARD_FINISHINSTALL", "SetupDiSetClassInstallParams failed with error: 87"}},
      {.name = "NullElementAndSetFinishInstall",
       .request = Request::FinishInstall,
       .set = Arg::Null,
       .element = Arg::Null,
       .tail = {"DIF_NEWDEVICEWIZARD_FINISHINSTALL", "SetupDiSetClassInstallParams failed with error: 87"}},
      {.name = "NullElementAndInvalidSetFinishInstall",
       .request = Request::FinishInstall,
       .set = Arg::Invalid,
       .element = Arg::Null,
       .tail = {"DIF_NEWDEVICEWIZARD_FINISHINSTALL", "SetupDiSetClassInstallParams failed with error: 87"}},
      // A call without context is answered at once.
      {.name = "NullContext", .context = false, .tail = {"DIF_INSTALLDEVICE"}},
      // A set that is no set: every SetupAPI call on it fails with
      // ERROR_INVALID_HANDLE, and the request ends as without a driver key.
      {.name = "NullSetSecondPass",
       .set = Arg::Null,
       .tail = {"DIF_INSTALLDEVICE", "DIF_INSTALLDEVICE PostProcessing", "Fail: SetupDiGetSelectedDriver, error: 6",
                "Fail: SetupOpenInfFile, error: *", kFailedDriverKeyForBadSet}},
      {.name = "InvalidSetSecondPass",
       .set = Arg::Invalid,
       .tail = {"DIF_INSTALLDEVICE", "DIF_INSTALLDEVICE PostProcessing", "Fail: SetupDiGetSelectedDriver, error: 6",
                "Fail: SetupOpenInfFile, error: *", kFailedDriverKeyForBadSet}},
      {.name = "NullSetRemove",
       .start = Start::BackedUp,
       .request = Request::Remove,
       .set = Arg::Null,
       .tail = {"DIF_REMOVE", kFailedDriverKeyForBadSet},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "InvalidSetRemove",
       .start = Start::BackedUp,
       .request = Request::Remove,
       .set = Arg::Invalid,
       .tail = {"DIF_REMOVE", kFailedDriverKeyForBadSet},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      // Wine's SetupDiSetClassInstallParamsA fails without setting the last
      // error, so the code logged there is whatever came before; Windows
      // gives ERROR_INVALID_HANDLE.
      {.name = "InvalidSetFinishInstall",
       .request = Request::FinishInstall,
       .set = Arg::Invalid,
       .tail = {"DIF_NEWDEVICEWIZARD_FINISHINSTALL", "SetupDiSetClassInstallParams failed with error: *"},
       .absent = {"Restarted the device"}},

      // --- "InfPath".
      // A name the 260-character name buffer cannot hold is refused, never
      // cut: cut, it names another file. Only the backup is skipped.
      {.name = "InfPathOf300CharactersSecondPass",
       .driverValues = {{"InfPath", std::string(296, 'n') + ".inf"}},
       .tail = {"Entering GetInfFromDrvRegistry()", "Failed to read 'InfPath' from driver registry. [err=206]"},
       .country = Country::Written},
      // Removal then does only the disabling.
      {.name = "InfPathOf300CharactersRemove",
       .start = Start::BackedUp,
       .driverValues = {{"InfPath", std::string(296, 'n') + ".inf"}},
       .request = Request::Remove,
       .tail = {"Entering GetInfFromDrvRegistry()", "Failed to read 'InfPath' from driver registry. [err=206]"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      // Stored without its NUL: the name is exactly the stored characters.
      {.name = "InfPathWithoutTerminator",
       .card = kUsCard,
       .arrange =
           [](BadInputTest& test) { ASSERT_TRUE(test.adapter_->SetDriverValue("InfPath", REG_SZ, test.infName_)); },
       .inOrder = {"Inf File Name: {inf}", "Source Inf file: {windows}\\Inf\\{inf}",
                   "Destination Inf file: {windows}\\System32\\{inf}", "Inf file is successfully backed up."},
       .backup = Backup::AsInstalled},

      // A name that is no plain INF file name is refused like one that
      // cannot be read: removal only disables the device, installation
      // makes no backup. Nothing outside the INF and system directories,
      // and nothing in them but INF files, is ever copied over or deleted.
      {.name = "InfPathClimbingOutRemove",
       .start = Start::BackedUp,
       .driverValues = {{"InfPath", "..\\ravcanary.inf"}},
       .canaries = {"{windows}\\ravcanary.inf"},
       .request = Request::Remove,
       .tail = {"Entering GetInfFromDrvRegistry()",
                "Refusing 'InfPath' that is not an INF file name: ..\\ravcanary.inf",
                "Failed to read 'InfPath' from driver registry. [err=123]"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "InfPathThroughSubdirectoryRemove",
       .start = Start::BackedUp,
       .driverValues = {{"InfPath", "sub\\..\\..\\ravcanary.inf"}},
       .canaries = {"{windows}\\ravcanary.inf"},
       .request = Request::Remove,
       .tail = {"Entering GetInfFromDrvRegistry()",
                "Refusing 'InfPath' that is not an INF file name: sub\\..\\..\\ravcanary.inf",
                "Failed to read 'InfPath' from driver registry. [err=123]"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "InfPathWithForwardSlashRemove",
       .start = Start::BackedUp,
       .driverValues = {{"InfPath", "../ravcanary.inf"}},
       .canaries = {"{windows}\\ravcanary.inf"},
       .request = Request::Remove,
       .tail = {"Entering GetInfFromDrvRegistry()", "Refusing 'InfPath' that is not an INF file name: ../ravcanary.inf",
                "Failed to read 'InfPath' from driver registry. [err=123]"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "InfPathAbsoluteRemove",
       .start = Start::BackedUp,
       .driverValues = {{"InfPath", "C:\\ravcanary.inf"}},
       .canaries = {"C:\\ravcanary.inf"},
       .request = Request::Remove,
       .tail = {"Entering GetInfFromDrvRegistry()",
                "Refusing 'InfPath' that is not an INF file name: C:\\ravcanary.inf",
                "Failed to read 'InfPath' from driver registry. [err=123]"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "InfPathNamingNoInfRemove",
       .start = Start::BackedUp,
       .driverValues = {{"InfPath", "ravcanary.dll"}},
       .canaries = {"{windows}\\System32\\ravcanary.dll"},
       .request = Request::Remove,
       .tail = {"Entering GetInfFromDrvRegistry()", "Refusing 'InfPath' that is not an INF file name: ravcanary.dll",
                "Failed to read 'InfPath' from driver registry. [err=123]"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "InfPathClimbingOutSecondPass",
       .driverValues = {{"InfPath", "..\\ravcanary.inf"}},
       .canaries = {"{windows}\\ravcanary.inf"},
       .tail = {"Entering GetInfFromDrvRegistry()",
                "Refusing 'InfPath' that is not an INF file name: ..\\ravcanary.inf",
                "Failed to read 'InfPath' from driver registry. [err=123]"},
       .country = Country::Written},
      // Copied, "<windows>\Inf\ravcanary.dll" would replace the system
      // directory's file of that name.
      {.name = "InfPathNamingNoInfSecondPass",
       .driverValues = {{"InfPath", "ravcanary.dll"}},
       .canaries = {"{windows}\\Inf\\ravcanary.dll", "{windows}\\System32\\ravcanary.dll"},
       .tail = {"Entering GetInfFromDrvRegistry()", "Refusing 'InfPath' that is not an INF file name: ravcanary.dll",
                "Failed to read 'InfPath' from driver registry. [err=123]"},
       .country = Country::Written},

      // --- "InfSection" and "InfSectionExt".
      // Without their NULs the two still make exactly the section's name.
      {.name = "InfSectionValuesWithoutTerminator",
       .driverValues = {{"InfSection", "RowCard", false}, {"InfSectionExt", ".NTamd64", false}},
       .inOrder = {"Inf Section: RowCard.NTamd64", "ROW card detected.", "User Location: {country}"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      // A value that fills its 256-byte buffer exactly has no room for a NUL:
      // the name is its 256 characters and nothing that lies behind them.
      // No section has that name, so the line cannot be sized: a ROW card.
      {.name = "InfSectionOf256CharactersWithoutTerminator",
       .driverValues = {{"InfSection", r256, false}},
       .inOrder = {"Inf Section: " + r256 + ".NTamd64", "Failed to get the required size. [err=*",
                   "Leaving IsROWCard()", "User Location: {country}"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "InfSectionExtOf256CharactersWithoutTerminator",
       .driverValues = {{"InfSectionExt", e256, false}},
       .inOrder = {"Inf Section: RowCard" + e256, "Failed to get the required size. [err=*", "Leaving IsROWCard()"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      // Too long for the buffer: the value adds nothing to the name.
      {.name = "InfSectionOf300Characters",
       .card = kUsCard,
       .driverValues = {{"InfSection", std::string(300, 's')}},
       .inOrder = {"Failed to read 'InfSection' from driver registry. [err=234]", "Inf Section: .NTamd64",
                   "Failed to get the required size. [err=*", "Leaving IsROWCard()", "User Location: {country}"},
       .country = Country::Written,
       .backup = Backup::AsInstalled},

      // --- The INF.
      // An AddReg line longer than the 4,096-byte buffer: sized, but not
      // read. The adapter is not a ROW card, although the line names cc.reg
      // first; the backup is still made.
      {.name = "AddRegLineOver4096Characters",
       .card = kLongLineCard,
       .inOrder = {"Inf Section: LongCard.NTamd64",
                   "Failed to get 'AddReg' value from Inf Section: LongCard.NTamd64. [err=122]",
                   "Inf file is successfully backed up."},
       .absent = {"ROW card detected.", "Not a ROW card.", "Leaving IsROWCard()", "User Location: *"},
       .backup = Backup::AsInstalled},
      // The installed INF deleted from the INF directory before the second
      // pass: there is nothing to back up. The ROW test reads the INF the
      // selected driver names, which SetupAPI still has.
      {.name = "InstalledInfMissing",
       .arrange =
           [](BadInputTest& test) {
             ASSERT_TRUE(fs::remove(test.InstalledInf())) << test.InstalledInf();
             std::error_code ignored;
             fs::remove(fs::path(test.InstalledInf()).replace_extension(L".pnf"), ignored);
           },
       .inOrder = {"ROW card detected.", "User Location: {country}", "Source Inf file: {windows}\\Inf\\{inf}",
                   "Destination Inf file: {windows}\\System32\\{inf}", "Could not backup inf file, error: 2"},
       .country = Country::Written},

      // A user without a nation GeoID: the ROW card keeps the country its
      // driver's own settings give; no empty "Country" replaces it.
      {.name = "UserWithoutNationSecondPass",
       .arrange = [](BadInputTest& test) { test.SetNation(L"-1"); },
       .inOrder = {"ROW card detected.", "Leaving GetUserLocation()", "Inf file is successfully backed up."},
       .absent = {"GeoId: *"},
       .backup = Backup::AsInstalled},

      // --- A read-only INF backup.
      // The backup is the co-installer's own file, and it can become
      // read-only without anyone meaning it: CopyFileA gives the copy the
      // installed INF's attributes. Replaced and deleted as any other time.
      // Windows' CopyFileA refuses a read-only destination with
      // ERROR_ACCESS_DENIED, which the co-installer answers by clearing the
      // attribute; Wine's replaces the file without a word, so under Wine
      // this row passes either way.
      {.name = "ReadOnlyBackupSecondPass",
       .arrange = [](BadInputTest& test) { test.PlantReadOnlyBackup(); },
       .inOrder = {"Destination Inf file: {windows}\\System32\\{inf}", "Inf file is successfully backed up."},
       .country = Country::Written,
       .backup = Backup::AsInstalled},
      {.name = "ReadOnlyBackupRemove",
       .start = Start::BackedUp,
       .arrange = [](BadInputTest& test) { test.MakeReadOnly(test.BackupPath()); },
       .request = Request::Remove,
       .tail = RemovedEverything(),
       .country = Country::Written,
       .companions = Companions::Deleted,
       .unregisters = true},
      // The platform's regsvr32 by its full path: one in the current
      // directory (or the host program's) is never started.
      {.name = "Regsvr32InTheCurrentDirectoryRemove",
       .start = Start::BackedUp,
       .arrange = [](BadInputTest& test) { test.PlantRegsvr32InCurrentDirectory(); },
       .request = Request::Remove,
       .tail = RemovedEverything(),
       .country = Country::Written,
       .companions = Companions::Deleted,
       .unregisters = true},
      // The companion libraries are not the co-installer's own: read-only,
      // they stay, and the failures are logged.
      {.name = "ReadOnlyCompanionLibrariesRemove",
       .start = Start::BackedUp,
       .arrange =
           [](BadInputTest& test) {
             test.MakeReadOnly(test.companions_.userInterfacePath());
             test.MakeReadOnly(test.companions_.servicePath());
           },
       .request = Request::Remove,
       .tail = {"Command: *", "Could not delete ravihvsrv.dll, error: 5", "Could not delete ravwihvui.dll, error: 5",
                "Backup inf file is successfully deleted."},
       .country = Country::Written,
       .unregisters = true},

      // --- The Windows directory.
      // When it cannot be read no path is formed: nothing is copied from
      // "\Inf" or into "\System32" of the current drive, which is what an
      // empty directory buffer would give.
      {.name = "UnreadWindowsDirectoryBackUp",
       .canaries = {"C:\\Inf\\{inf}", "C:\\System32\\ravcanary.txt"},
       .request = Request::BackUpFromUnreadWindowsDirectory,
       .tail = {"Entering GetInfFromDrvRegistry()", "Inf File Name: {inf}", "Leaving GetInfFromDrvRegistry()",
                "Could not backup inf file, error: 5"},
       .neverCreated = {"C:\\System32\\{inf}"}},
      // Nothing is deleted; the unregistration names the library without a
      // directory, so it still runs.
      {.name = "UnreadWindowsDirectoryCleanUp",
       .start = Start::NoDevice,
       .canaries = {"C:\\System32\\ravihvsrv64.dll", "C:\\System32\\ravihvui64.dll", "C:\\System32\\ravwlantest.inf"},
       .request = Request::CleanUpFromUnreadWindowsDirectory,
       .tail = {"Could not delete ravihvsrv.dll, error: 5", "Could not delete ravwihvui.dll, error: 5",
                "Could not delete backup inf file, error: 5"},
       .absent = {"Command: *"},
       .unregisters = true},

      // --- The Winlogon "Shell" setting.
      // Longer than its 256-byte buffer: the read fails with ERROR_MORE_DATA
      // and the preset shell name stays.
      {.name = "ShellOf300Characters",
       .start = Start::NoDevice,
       .arrange = [](BadInputTest& test) { test.SetShell(std::string(300, 'x'), true); },
       .request = Request::UserLocation,
       .inOrder = {"Entering GetUserShellToken...",
                   std::string("Successfully opened registry key: ") + kRowsWinlogonKey, "Shell Size: 256",
                   "Failed to read 'Shell' from registry. [err=234]", "Shell Name: Explorer.exe",
                   "Username for the shell process matches current one", "Successfully impersonated logged on user.",
                   "Leaving GetUserLocation()"}},
      // Exactly 256 characters without NUL fit: the name is those characters
      // and matches no process; the host's own account answers.
      {.name = "ShellOf256CharactersWithoutTerminator",
       .start = Start::NoDevice,
       .arrange = [](BadInputTest& test) { test.SetShell(std::string(256, 'x'), false); },
       .request = Request::UserLocation,
       .inOrder = {"Shell Size: 256", "Shell Name: " + std::string(256, 'x'), "Unable to impersonate *",
                   "Leaving GetUserLocation()"},
       .absent = {"Failed to read 'Shell' from registry.*", "Process: *", "Successfully impersonated logged on user."}},
  };
  return rows;
}

// A read-only backup that stays undeletable once writable (here: mapped as
// an image, which Windows and Wine both refuse to delete with
// ERROR_ACCESS_DENIED, the answer a read-only file gets too) gets its
// read-only attribute back: the failed removal changes nothing.
TEST(InfBackup, AReadOnlyBackupThatStillCannotBeDeletedStaysReadOnly) {
  const testsupport::TempDir scratch;
  const fs::path backup = scratch.path() / L"ravwlantest.inf";
  fs::copy_file(testsupport::BinPath(L"recorder.exe"), backup);
  ASSERT_TRUE(SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_READONLY));
  const HMODULE mapped = LoadLibraryExW(backup.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(mapped, nullptr);
  const rav::Result<void> deleted = coinstaller::DeleteInfBackup(testsupport::Narrow(backup.wstring()));
  EXPECT_FALSE(deleted.ok());
  EXPECT_EQ(deleted.error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  const DWORD attributes = GetFileAttributesW(backup.c_str());
  FreeLibrary(mapped);
  SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u) << "the attribute was left off";
}

INSTANTIATE_TEST_SUITE_P(CoInstaller, BadInputTest, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
}  // namespace coinstaller_test
