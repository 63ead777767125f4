#pragma once
// Owners for the SetupAPI resources the co-installer and its tests hold.
// Closing never changes GetLastError(), as for the common owners.
#include <windows.h>
#include <setupapi.h>

#include "common/unique_resource.h"
#include "common/win_resources.h"

namespace coinstaller {

inline void CloseInf(HINF inf) { SetupCloseInfFile(inf); }
inline void DestroyDeviceInfoSet(HDEVINFO set) { SetupDiDestroyDeviceInfoList(set); }

// Both calls answer INVALID_HANDLE_VALUE when they fail.
using UniqueHinf = rav::UniqueResource<rav::ClosePolicy<HINF, CloseInf, rav::NoneIs::kInvalidHandle>>;
using UniqueDeviceInfoSet =
    rav::UniqueResource<rav::ClosePolicy<HDEVINFO, DestroyDeviceInfoSet, rav::NoneIs::kInvalidHandle>>;

}  // namespace coinstaller
