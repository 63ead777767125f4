#include "launcher/ansi_path.h"

#include <windows.h>

#include <vector>

namespace launcher {

std::optional<std::string> ExactAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(size), '\0');
  usedDefault = FALSE;
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, narrow.data(), size, nullptr,
                          &usedDefault) != size ||
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
