#include "launcher/ansi_path.h"

#include <windows.h>

#include <vector>

namespace launcher {
namespace {

// WC_ERR_INVALID_CHARS, which the XP-level headers do not name; only
// Windows versions that can have UTF-8 as the ANSI code page take this path.
constexpr DWORD kErrorOnInvalidCharacters = 0x00000080;

}  // namespace

std::optional<std::string> ExactAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  // Where UTF-8 is the ANSI code page (an option of newer Windows), every
  // name has an exact form, and the call refuses the best-fit and
  // default-character arguments for it: it reports a broken name instead.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? kErrorOnInvalidCharacters : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(size), '\0');
  usedDefault = FALSE;
  if (WideCharToMultiByte(CP_ACP, flags, text.data(), length, narrow.data(), size, nullptr, usedDefaultOut) != size ||
      usedDefault) {
    return std::nullopt;
  }
  return narrow;
}

std::optional<std::string> AnsiPath(const std::wstring& path) {
  if (std::optional<std::string> exact = ExactAnsi(path)) return exact;
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::vector<wchar_t> shortPath(needed + 1);
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
  if (length == 0 || length >= shortPath.size()) return std::nullopt;
  return ExactAnsi(std::wstring(shortPath.data(), length));
}

}  // namespace launcher
