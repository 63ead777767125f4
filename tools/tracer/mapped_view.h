#pragma once
// An owner for a view from MapViewOfFile, in the style of common/win_resources.h.
#include <windows.h>

#include "common/core/unique_resource.h"
#include "common/win_resources.h"

namespace tracer {

inline void UnmapView(void* view) { UnmapViewOfFile(view); }
using UniqueMappedView = rav::UniqueResource<rav::ClosePolicy<void*, UnmapView>>;

}  // namespace tracer
