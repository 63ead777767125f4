#pragma once
// Owners for the SetupAPI resources the co-installer and its tests hold.
// Closing never changes GetLastError(), as for the common owners.
#include <windows.h>
#include <setupapi.h>

#include "common/unique_resource.h"
#include "common/win_resources.h"

namespace coinstaller {

// SetupOpenInfFile answers INVALID_HANDLE_VALUE when it fails.
struct InfPolicy {
  using pointer = HINF;
  static pointer none() noexcept { return INVALID_HANDLE_VALUE; }
  static bool is_valid(pointer value) noexcept { return value != nullptr && value != INVALID_HANDLE_VALUE; }
  static void close(pointer value) noexcept {
    rav::LastErrorKeeper keep;
    SetupCloseInfFile(value);
  }
};
using UniqueHinf = rav::UniqueResource<InfPolicy>;

struct DeviceInfoSetPolicy {
  using pointer = HDEVINFO;
  static pointer none() noexcept { return INVALID_HANDLE_VALUE; }
  static bool is_valid(pointer value) noexcept { return value != nullptr && value != INVALID_HANDLE_VALUE; }
  static void close(pointer value) noexcept {
    rav::LastErrorKeeper keep;
    SetupDiDestroyDeviceInfoList(value);
  }
};
using UniqueDeviceInfoSet = rav::UniqueResource<DeviceInfoSetPolicy>;

}  // namespace coinstaller
