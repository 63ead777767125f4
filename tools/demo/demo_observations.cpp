#include "tools/demo/demo_observations.h"

#include <setupapi.h>

#include <fstream>
#include <sstream>

#include "common/win_resources.h"
#include "testsupport/registry_values.h"
#include "testsupport/text.h"

namespace demo {
namespace {

constexpr GUID kNetClass = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

}  // namespace

std::optional<CountryValue> SampleAdapterCountry() {
  HDEVINFO devices = SetupDiGetClassDevsW(&kNetClass, nullptr, nullptr, 0);
  if (devices == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<CountryValue> found;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  for (DWORD index = 0; !found && SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    wchar_t ids[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(ids),
                                           sizeof ids - 4, nullptr) ||
        _wcsicmp(ids, L"RAVTEST\\ROW") != 0) {
      continue;
    }
    found = CountryValue{};
    rav::UniqueHkey key(SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_QUERY_VALUE));
    DWORD size = 0;
    if (key && RegQueryValueExA(key.get(), "Country", nullptr, &found->type, nullptr, &size) == ERROR_SUCCESS) {
      found->data.resize(size);
      RegQueryValueExA(key.get(), "Country", nullptr, &found->type, reinterpret_cast<BYTE*>(found->data.data()), &size);
      found->data.resize(size);
    }
  }
  SetupDiDestroyDeviceInfoList(devices);
  return found;
}

bool SystemFileExists(const std::wstring& name) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  void* redirection = nullptr;
  const BOOL disabled = Wow64DisableWow64FsRedirection(&redirection);
  const bool exists = GetFileAttributesW((std::wstring(system) + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  if (disabled) Wow64RevertWow64FsRedirection(redirection);
  return exists;
}

std::vector<std::string> NewLines(const std::filesystem::path& file, std::uintmax_t& from) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  in.seekg(0, std::ios::end);
  const std::uintmax_t end = static_cast<std::uintmax_t>(in.tellg());
  if (end <= from) return {};
  in.seekg(static_cast<std::streamoff>(from));
  std::string text(static_cast<std::size_t>(end - from), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  from = end;
  return testsupport::SplitLines(text);
}

std::vector<std::string> LastLines(const std::filesystem::path& file, std::size_t count) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<std::string> lines = testsupport::SplitLines(text.str());
  if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
  return lines;
}

std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view) {
  const std::optional<testsupport::RegistryValue> value = testsupport::ReadRegistryValue(root, key, name, view);
  if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
  std::wstring text(reinterpret_cast<const wchar_t*>(value->data.data()), value->data.size() / sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));
}

std::optional<DWORD> RegistryNumber(HKEY root, const std::wstring& key, const std::wstring& name) {
  return testsupport::ReadDword(root, key, name);
}

}  // namespace demo
