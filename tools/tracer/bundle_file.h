#pragma once
// The support bundle's file. It is made new, and only ever written when it
// is: never an existing file, never through a link (a dangling one
// included), never a device.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace tracer {

// The new, empty file open for writing; none, after reporting why, when
// `path` (UTF-8) names anything that exists or cannot be made.
rav::UniqueHandle CreateBundleFile(const std::string& path);

// Writes the whole text; false, after reporting why, when it cannot.
bool WriteBundleFile(HANDLE file, const std::string& path, std::string_view text);

}  // namespace tracer
