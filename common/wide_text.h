#pragma once
// The platform-free code keeps UTF-16 text as char16_t; Win32 wants wchar_t.
// Both are 16-bit on Windows, so the edge only converts pointers.
#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

namespace rav {

inline const wchar_t* as_wcstr(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline const wchar_t* as_wcstr(const std::u16string& text) { return as_wcstr(text.c_str()); }
inline const char16_t* as_u16cstr(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

}  // namespace rav
