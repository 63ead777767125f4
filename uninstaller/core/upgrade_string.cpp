#include "uninstaller/core/upgrade_string.h"

namespace ravuninst {

std::u16string CommandFromValueData(const char16_t* data, std::size_t bytes) {
  const std::u16string_view text(data, bytes / sizeof(char16_t));
  return std::u16string(text.substr(0, text.find(u'\0')));
}

}  // namespace ravuninst
