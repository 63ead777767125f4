#pragma once
// Owners for the SetupAPI resources the co-installer, its tests and tools
// hold.
// Closing never changes GetLastError(), as for the common owners.
#include <windows.h>
#include <setupapi.h>

#include "common/core/unique_resource.h"
#include "common/win_resources.h"

namespace rav {

inline void CloseInf(HINF inf) { SetupCloseInfFile(inf); }
inline void DestroyDeviceInfoSet(HDEVINFO set) { SetupDiDestroyDeviceInfoList(set); }

// Both calls answer INVALID_HANDLE_VALUE when they fail.
using UniqueHinf = UniqueResource<ClosePolicy<HINF, CloseInf, NoneIs::kInvalidHandle>>;
using UniqueDeviceInfoSet = UniqueResource<ClosePolicy<HDEVINFO, DestroyDeviceInfoSet, NoneIs::kInvalidHandle>>;

}  // namespace rav
