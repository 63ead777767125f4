#pragma once
// A fake network adapter for tests, made the way the platform's own SetupAPI
// tests make theirs: a root-enumerated device of the Net class whose driver
// comes from the sample INF, with ravcoinst.dll as its device co-installer.
// The device is removed when the object goes, if it is still there.
#include <windows.h>
#include <setupapi.h>

#include <filesystem>
#include <optional>
#include <string>

#include "common/setupapi_resources.h"
#include "common/win_resources.h"

namespace testsupport {

// The sample INF's models, by hardware ID.
inline constexpr char kRowCard[] = "RAVTEST\\ROW";      // AddReg = RowCard.reg, cc.reg
inline constexpr char kUsCard[] = "RAVTEST\\US";        // AddReg = UsCard.reg
inline constexpr char kCapsCard[] = "RAVTEST\\CAPS";    // AddReg = CapsCard.reg, CC.REG
inline constexpr char kPlainCard[] = "RAVTEST\\PLAIN";  // no AddReg line

// A registry value as stored, read with the narrow call.
struct RawValue {
  DWORD type = REG_NONE;
  std::string data;  // every byte, no terminator added
};

struct ClassInstallerResult {
  BOOL ok = FALSE;
  DWORD error = 0;  // GetLastError() right after the call
};

class FakeAdapter {
 public:
  FakeAdapter(const std::string& hardwareId, const std::filesystem::path& inf);
  ~FakeAdapter();
  FakeAdapter(const FakeAdapter&) = delete;
  FakeAdapter& operator=(const FakeAdapter&) = delete;

  // Whether the device was created and registered; the other calls need it.
  bool created() const { return created_; }
  HDEVINFO set() const { return set_.get(); }
  SP_DEVINFO_DATA* device() { return &device_; }

  // Builds the compatible-driver list from the INF alone and selects the best
  // driver, then lets SetupAPI register the INF's co-installers for it.
  bool SelectDriverAndRegisterCoInstallers();

  // SetupDiCallClassInstaller for this device; the last error is preset to
  // 0xdeadbeef so the result shows what the call itself set. A device
  // removed through DIF_REMOVE is not removed again.
  ClassInstallerResult CallClassInstaller(DI_FUNCTION installFunction);

  // Selects the driver, registers the co-installers and installs the device.
  ClassInstallerResult Install();

  // The device's driver key (DIREG_DRV), or an invalid key.
  rav::UniqueHkey OpenDriverKey(REGSAM access = KEY_ALL_ACCESS);

  // A driver-key value as stored, read with the narrow call.
  std::optional<RawValue> DriverValue(const char* name);
  // A driver-key string up to its terminator; empty when absent.
  std::string DriverText(const char* name);
  bool SetDriverText(const char* name, const std::string& text);
  // Stores exactly `data` (no terminator added) as a value of `type`.
  bool SetDriverValue(const char* name, DWORD type, const std::string& data);
  bool DeleteDriverValue(const char* name);

  // Removes the device without calling its co-installers.
  bool Remove();

 private:
  rav::UniqueDeviceInfoSet set_;
  SP_DEVINFO_DATA device_ = {};
  std::string infPath_;
  bool created_ = false;
};


}  // namespace testsupport
