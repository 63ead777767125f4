#pragma once
// Pictures of windows for people to look at: what is on the screen inside a
// window's rectangle, as a PNG file.
#include <windows.h>

#include <filesystem>

namespace testsupport {

bool SaveWindowPng(HWND window, const std::filesystem::path& file);

// build/<tree>/screenshots, beside the test programs' directory.
std::filesystem::path ScreenshotDir();

}  // namespace testsupport
