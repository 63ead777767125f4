#include "uninstaller/services/core/string_tables.h"

namespace ravuninst {

std::optional<std::u16string_view> FindStringInBlock(std::span<const char16_t> block, unsigned index) {
  std::size_t at = 0;
  for (unsigned entry = 0; entry < index; ++entry) {
    if (at >= block.size()) return std::nullopt;
    at += 1 + static_cast<std::size_t>(block[at]);
  }
  if (at >= block.size()) return std::nullopt;
  const std::size_t length = block[at];
  if (length == 0 || length > block.size() - at - 1) return std::nullopt;
  return std::u16string_view(block.data() + at + 1, length);
}

std::optional<std::string> BaseNameWithoutExtension(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return std::nullopt;
  std::string_view name = path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

}  // namespace ravuninst
