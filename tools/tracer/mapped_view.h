#pragma once
// An owner for a view from MapViewOfFile, in the style of common/win_resources.h.
#include <windows.h>

#include "common/unique_resource.h"
#include "common/win_resources.h"

namespace tracer {

struct MappedViewPolicy {
  using pointer = void*;
  static pointer none() noexcept { return nullptr; }
  static bool is_valid(pointer value) noexcept { return value != nullptr; }
  static void close(pointer value) noexcept {
    rav::LastErrorKeeper keep;
    UnmapViewOfFile(value);
  }
};
using UniqueMappedView = rav::UniqueResource<MappedViewPolicy>;

}  // namespace tracer
