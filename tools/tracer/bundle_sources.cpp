#include "tools/tracer/bundle_sources.h"

#include <windows.h>

#include <functional>

#include "common/ansi_text.h"
#include "common/core/ascii_case.h"
#include "common/core/utf_text.h"
#include "common/wide_utf8.h"
#include "tools/tracer/core/record_paths.h"
#include "tools/tracer/core/registry_text.h"
#include "tools/tracer/core/setup_log_filter.h"
#include "tools/tracer/file_facts.h"
#include "tools/tracer/registry_dump.h"
#include "tools/tracer/system_facts.h"

namespace tracer {
namespace {

constexpr const wchar_t* kRecordKeys[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane 802.11b Network Adapter",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane 802.11 Application",
    L"SOFTWARE\\Corvane\\802.11\\UninstallInfo",
    L"SOFTWARE\\Corvane\\802.11_App\\UninstallInfo",
};
constexpr const wchar_t* kPrograms[] = {L"Setup.exe", L"ravuninst.exe", L"ravcoinst.dll"};
// The class of network adapters: its driver keys are numbered below it.
constexpr wchar_t kNetClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";
constexpr const wchar_t* kDriverValues[] = {L"DriverDesc", L"MatchingDeviceId", L"ProviderName", L"DriverVersion",
                                            L"InfPath",    L"InfSection",       L"InfSectionExt", L"Country",
                                            L"CoInstallers32"};

std::string Utf8(const std::wstring& text) { return rav::WideToUtf8(text); }

// Why a source is missing from the bundle, in words and with the error.
std::string Reason(rav::WindowsError error) {
  const std::string reason = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "not there"
                             : error == ERROR_ACCESS_DENIED                                ? "access denied"
                                                                                           : "cannot be read";
  return reason + " (error " + std::to_string(error) + ")";
}

std::string NotRead(const std::string& what, rav::WindowsError error) { return what + ": " + Reason(error); }

void AddOnce(std::vector<std::wstring>& list, const std::wstring& item) {
  if (item.empty()) return;
  for (const std::wstring& known : list) {
    if (rav::EqualIgnoringAsciiCase(Utf8(known), Utf8(item))) return;
  }
  list.push_back(item);
}

void AddOnce(std::vector<std::string>& list, const std::string& item) {
  if (item.empty()) return;
  for (const std::string& known : list) {
    if (rav::EqualIgnoringAsciiCase(known, item)) return;
  }
  list.push_back(item);
}

// The folders one record names: those of the programs its removal commands
// start, the setup engine's ("/rootdir="), its install location.
void AddRecordFolders(const std::wstring& key, REGSAM view, std::vector<std::wstring>& folders) {
  for (const wchar_t* name : {L"UninstallString", L"UpgradeString"}) {
    const rav::Result<std::wstring> command = ReadRegistryString(HKEY_LOCAL_MACHINE, key, name, view);
    if (!command) continue;
    const std::string text = Utf8(*command);
    AddOnce(folders, rav::Utf8ToWide(FolderOf(ProgramOfCommandLine(text))));
    AddOnce(folders, rav::Utf8ToWide(RootDirOf(text)));
  }
  for (const wchar_t* name : {L"InstallLocation", L"InstallDir"}) {
    const rav::Result<std::wstring> folder = ReadRegistryString(HKEY_LOCAL_MACHINE, key, name, view);
    if (folder) {
      std::wstring trimmed = *folder;
      while (!trimmed.empty() && (trimmed.back() == L'\\' || trimmed.back() == L'/')) trimmed.pop_back();
      AddOnce(folders, trimmed);
    }
  }
}

// A text log's lines as UTF-8: ravwl.log is UTF-8 already (malformed bytes
// become U+FFFD); the device-installation logs are in the ANSI code page
// unless they start with the UTF-8 byte-order mark.
std::string CleanUtf8(std::string_view line) { return rav::Utf16ToUtf8(rav::Utf8ToUtf16Lenient(line)); }

BundleSection LogSection(std::string title, const std::wstring& path, bool ansi,
                         const std::function<void(const std::string&)>& take) {
  BundleSection section{std::move(title), {}, 0};
  bool first = true;
  bool utf8 = !ansi;
  const rav::Result<void> read = ReadFileLines(path, [&](std::string_view line) {
    if (first && line.substr(0, 3) == "\xEF\xBB\xBF") {
      utf8 = true;
      line.remove_prefix(3);
    }
    first = false;
    take(utf8 ? CleanUtf8(line) : rav::AnsiToUtf8(line));
  });
  if (!read) section.lines.push_back(NotRead(Utf8(path), read.error()));
  return section;
}

}  // namespace

BundleSection WindowsSection() { return {"Windows", WindowsFactLines(), 0}; }

BundleSection UninstallRecordsSection(std::vector<std::wstring>& folders) {
  BundleSection section{"Uninstall records (HKEY_LOCAL_MACHINE)", {}, 0};
  for (const wchar_t* key : kRecordKeys) {
    for (const RegistryView& view : RegistryViews()) {
      const std::string where = Utf8(key) + " (" + view.name + ")";
      const rav::Result<std::vector<std::string>> values = KeyValueLines(HKEY_LOCAL_MACHINE, key, view.flag);
      if (!values) {
        section.lines.push_back(NotRead(where, values.error()));
        continue;
      }
      section.lines.push_back(where + ":");
      for (const std::string& value : *values) section.lines.push_back("  " + value);
      AddRecordFolders(key, view.flag, folders);
    }
  }
  return section;
}

BundleSection ProgramsSection(const std::vector<std::wstring>& folders, AdapterNames& names) {
  BundleSection section{"Programs", {}, 0};
  std::vector<std::wstring> places = folders;
  AddOnce(places, NativeSystemDirectory());
  std::string lookedIn;
  for (const std::wstring& place : places) lookedIn += (lookedIn.empty() ? "" : "; ") + Utf8(place);
  section.lines.push_back("looked in: " + lookedIn + " (the folders the uninstall records name, and System32)");
  for (const wchar_t* program : kPrograms) {
    bool found = false;
    for (const std::wstring& place : places) {
      const std::wstring path = place + L"\\" + program;
      const rav::Result<std::string> facts = DescribeFile(path);
      if (!facts) continue;
      section.lines.push_back(Utf8(program) + ": " + Utf8(path) + ": " + *facts);
      found = true;
    }
    if (!found) section.lines.push_back(Utf8(program) + ": not found");
  }
  for (const std::wstring& folder : folders) {
    for (const std::wstring& inf : InfFilesIn(folder)) {
      section.lines.push_back("INF in the package: " + Utf8(folder + L"\\" + inf));
      AddOnce(names.infNames, Utf8(inf));
    }
  }
  return section;
}

BundleSection DriverKeysSection(AdapterNames& names) {
  BundleSection section{"The adapter's driver keys (network adapters whose co-installer is ravcoinst.dll)", {}, 0};
  const REGSAM view = NativeRegistryView();
  for (const std::wstring& number : SubkeyNames(HKEY_LOCAL_MACHINE, kNetClassKey, view)) {
    const std::wstring key = std::wstring(kNetClassKey) + L"\\" + number;
    const rav::Result<RegistryData> coInstallers = ReadRegistryValue(HKEY_LOCAL_MACHINE, key, L"CoInstallers32", view);
    if (!coInstallers || coInstallers->type != REG_MULTI_SZ ||
        !NamesOurCoInstaller(MultiStringEntries(coInstallers->bytes))) {
      continue;
    }
    section.lines.push_back("HKEY_LOCAL_MACHINE\\" + Utf8(key) + ":");
    for (const wchar_t* name : kDriverValues) {
      const rav::Result<RegistryData> value = ReadRegistryValue(HKEY_LOCAL_MACHINE, key, name, view);
      const std::u16string_view shown(rav::as_u16cstr(name));
      section.lines.push_back("  " + (value ? FormatRegistryValue(shown, value->type, value->bytes)
                                             : NotRead(Utf8(name), value.error())));
    }
    const rav::Result<std::wstring> hardwareId = ReadRegistryString(HKEY_LOCAL_MACHINE, key, L"MatchingDeviceId", view);
    if (hardwareId) AddOnce(names.hardwareIds, Utf8(*hardwareId));
    const rav::Result<std::wstring> infPath = ReadRegistryString(HKEY_LOCAL_MACHINE, key, L"InfPath", view);
    if (!infPath) continue;
    AddOnce(names.infNames, Utf8(*infPath));
    if (!IsPlainFileName(Utf8(*infPath))) {
      section.lines.push_back("  INF backup: none looked for, \"InfPath\" is not a plain file name");
      continue;
    }
    const std::wstring backup = NativeSystemDirectory() + L"\\" + *infPath;
    const rav::Result<std::string> facts = DescribeFile(backup);
    section.lines.push_back("  INF backup " + Utf8(backup) + ": " + (facts ? *facts : Reason(facts.error())));
  }
  if (section.lines.empty()) {
    section.lines.push_back("none: no network adapter's driver key names ravcoinst.dll (no adapter is installed)");
  }
  return section;
}

BundleSection SetupStatusSection() {
  const std::wstring key = L"SOFTWARE\\RavSetup\\Status";
  BundleSection section{"The setup's status (HKEY_CURRENT_USER\\SOFTWARE\\RavSetup\\Status)", {}, 0};
  const rav::Result<std::vector<std::string>> values = KeyValueLines(HKEY_CURRENT_USER, key, 0);
  if (!values) {
    section.lines.push_back(NotRead("HKEY_CURRENT_USER\\" + Utf8(key), values.error()));
  } else if (values->empty()) {
    section.lines.push_back("(no values)");
  } else {
    section.lines = *values;
  }
  return section;
}

BundleSection UninstallLogSection() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring path = (length > 0 && length <= MAX_PATH ? std::wstring(temp, length) : L".\\") + L"ravwl.log";
  LineTail tail(kBundleLimit);
  BundleSection section = LogSection("The uninstaller's log of this user (" + Utf8(path) + ")", path, false,
                                     [&tail](const std::string& line) { tail.Add(line); });
  section.lines.insert(section.lines.end(), tail.lines().begin(), tail.lines().end());
  section.omittedLines = tail.omitted();
  return section;
}

BundleSection SetupApiLogSection(const AdapterNames& names) {
  const bool vistaOrLater = RealWindowsVersion().major >= 6;
  const std::wstring path = WindowsDirectory() + (vistaOrLater ? L"\\inf\\setupapi.dev.log" : L"\\setupapi.log");
  std::vector<std::string> searched = {"ravcoinst"};
  for (const std::string& name : names.infNames) AddOnce(searched, name);
  for (const std::string& id : names.hardwareIds) AddOnce(searched, id);
  std::string searchedText;
  for (const std::string& name : searched) searchedText += (searchedText.empty() ? "" : ", ") + name;

  LineTail kept(kBundleLimit);
  SetupLogFilter filter(searched, kept);
  BundleSection section = LogSection("The device installation's log about the adapter (" + Utf8(path) + ")", path,
                                     true, [&filter](const std::string& line) { filter.Add(line); });
  section.lines.insert(section.lines.begin(), "lines that name: " + searchedText + ", with their sections' headers");
  section.lines.insert(section.lines.end(), kept.lines().begin(), kept.lines().end());
  section.omittedLines = kept.omitted();
  return section;
}

}  // namespace tracer
