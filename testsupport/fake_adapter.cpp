#include "testsupport/fake_adapter.h"

#include <cstring>
#include <vector>

namespace testsupport {
namespace {

constexpr GUID kNetClass = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::optional<RawValue> ReadRawValue(HKEY key, const char* name) {
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  value.data.resize(size);
  if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

}  // namespace

FakeAdapter::FakeAdapter(const std::string& hardwareId, const std::filesystem::path& inf)
    : set_(SetupDiCreateDeviceInfoList(&kNetClass, nullptr)), infPath_(inf.string()) {
  device_.cbSize = sizeof device_;
  if (!set_) return;
  if (!SetupDiCreateDeviceInfoA(set_.get(), "RAVTEST", &kNetClass, nullptr, nullptr, DICD_GENERATE_ID, &device_)) {
    return;
  }
  // A REG_MULTI_SZ list of one ID: the text, its NUL and the list's NUL.
  std::vector<BYTE> ids(hardwareId.begin(), hardwareId.end());
  ids.resize(ids.size() + 2, 0);
  created_ = SetupDiSetDeviceRegistryPropertyA(set_.get(), &device_, SPDRP_HARDWAREID, ids.data(),
                                               static_cast<DWORD>(ids.size())) &&
             SetupDiRegisterDeviceInfo(set_.get(), &device_, 0, nullptr, nullptr, nullptr);
  if (!created_) SetupDiRemoveDevice(set_.get(), &device_);
}

FakeAdapter::~FakeAdapter() { Remove(); }

bool FakeAdapter::SelectDriverAndRegisterCoInstallers() {
  SP_DEVINSTALL_PARAMS_A params = {};
  params.cbSize = sizeof params;
  if (!SetupDiGetDeviceInstallParamsA(set_.get(), &device_, &params)) return false;
  // Quiet: requests with a default user interface must not wait for a click.
  params.Flags |= DI_ENUMSINGLEINF | DI_QUIETINSTALL;
  if (infPath_.size() >= sizeof params.DriverPath) return false;
  strcpy(params.DriverPath, infPath_.c_str());
  return SetupDiSetDeviceInstallParamsA(set_.get(), &device_, &params) &&
         SetupDiBuildDriverInfoList(set_.get(), &device_, SPDIT_COMPATDRIVER) &&
         SetupDiSelectBestCompatDrv(set_.get(), &device_) && CallClassInstaller(DIF_REGISTER_COINSTALLERS).ok;
}

ClassInstallerResult FakeAdapter::CallClassInstaller(DI_FUNCTION installFunction) {
  // The driver key's place below the class key ("{class}\NNNN"), while the
  // device still has one.
  char driver[128] = {};
  if (installFunction == DIF_REMOVE &&
      !SetupDiGetDeviceRegistryPropertyA(set_.get(), &device_, SPDRP_DRIVER, nullptr,
                                         reinterpret_cast<BYTE*>(driver), sizeof driver - 1, nullptr)) {
    driver[0] = '\0';
  }
  SetLastError(0xdeadbeef);
  ClassInstallerResult result;
  result.ok = SetupDiCallClassInstaller(installFunction, set_.get(), &device_);
  result.error = GetLastError();
  // The class installer's default for DIF_REMOVE removes the device. Under
  // Wine it leaves a driver key that has subkeys behind (see Remove).
  if (installFunction == DIF_REMOVE && result.ok) {
    created_ = false;
    if (driver[0] != '\0') {
      const std::string key = std::string("System\\CurrentControlSet\\Control\\Class\\") + driver;
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    }
  }
  return result;
}

ClassInstallerResult FakeAdapter::Install() {
  if (!SelectDriverAndRegisterCoInstallers()) return ClassInstallerResult{FALSE, GetLastError()};
  return CallClassInstaller(DIF_INSTALLDEVICE);
}

rav::UniqueHkey FakeAdapter::OpenDriverKey(REGSAM access) {
  return rav::UniqueHkey(SetupDiOpenDevRegKey(set_.get(), &device_, DICS_FLAG_GLOBAL, 0, DIREG_DRV, access));
}

std::optional<RawValue> FakeAdapter::DriverValue(const char* name) {
  const rav::UniqueHkey key = OpenDriverKey(KEY_QUERY_VALUE);
  return key ? ReadRawValue(key.get(), name) : std::nullopt;
}

std::string FakeAdapter::DriverText(const char* name) {
  const std::optional<RawValue> value = DriverValue(name);
  return value ? std::string(value->data.c_str()) : std::string();
}

bool FakeAdapter::SetDriverText(const char* name, const std::string& text) {
  const rav::UniqueHkey key = OpenDriverKey(KEY_SET_VALUE);
  return key && RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool FakeAdapter::SetDriverValue(const char* name, DWORD type, const std::string& data) {
  const rav::UniqueHkey key = OpenDriverKey(KEY_SET_VALUE);
  if (!key) return false;
  // RegSetValueExA counts a NUL that follows string data in memory as part
  // of it (NT does, and Wine with it): the copy ends in a character that is
  // not NUL, past the counted bytes.
  std::string buffer = data;
  buffer.push_back('#');
  return RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                        static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool FakeAdapter::DeleteDriverValue(const char* name) {
  const rav::UniqueHkey key = OpenDriverKey(KEY_SET_VALUE);
  return key && RegDeleteValueA(key.get(), name) == ERROR_SUCCESS;
}

bool FakeAdapter::Remove() {
  if (!created_) return false;
  created_ = false;
  // Wine's SetupDiRemoveDevice, and its SetupDiDeleteDevRegKey too, delete
  // the driver key below the class key only when it has no subkeys, and an
  // installed adapter's has (Ndi): empty it first, so that runs in the same
  // prefix do not pile keys up. A device never installed has none.
  if (const rav::UniqueHkey key = OpenDriverKey()) RegDeleteTreeW(key.get(), nullptr);
  SetupDiDeleteDevRegKey(set_.get(), &device_, DICS_FLAG_GLOBAL, 0, DIREG_DRV);
  return SetupDiRemoveDevice(set_.get(), &device_) != FALSE;
}

}  // namespace testsupport
