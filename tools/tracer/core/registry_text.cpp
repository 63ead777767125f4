#include "tools/tracer/core/registry_text.h"

#include <cstdio>
#include <vector>

#include "common/core/utf_text.h"

namespace tracer {
namespace {

std::string TypeName(std::uint32_t type) {
  switch (type) {
    case kRegNone: return "REG_NONE";
    case kRegSz: return "REG_SZ";
    case kRegExpandSz: return "REG_EXPAND_SZ";
    case kRegBinary: return "REG_BINARY";
    case kRegDword: return "REG_DWORD";
    case kRegDwordBigEndian: return "REG_DWORD_BIG_ENDIAN";
    case kRegLink: return "REG_LINK";
    case kRegMultiSz: return "REG_MULTI_SZ";
    case kRegQword: return "REG_QWORD";
  }
  return "type " + std::to_string(type);
}

std::u16string Units(std::span<const std::uint8_t> data) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return units;
}

// A text in double quotes, control characters escaped, cut at
// kShownCharacters.
std::string Quoted(std::u16string_view text) {
  std::string shown = "\"";
  std::u16string plain;
  const auto flush = [&] {
    shown += rav::Utf16ToUtf8(plain);
    plain.clear();
  };
  for (std::size_t i = 0; i < text.size() && i < kShownCharacters; ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c != 0x7f) {
      plain.push_back(c);
      continue;
    }
    flush();
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
    shown += c == u'\r' ? "\\r" : c == u'\n' ? "\\n" : c == u'\t' ? "\\t" : escaped;
  }
  flush();
  shown += "\"";
  if (text.size() > kShownCharacters) shown += " ... (" + std::to_string(text.size()) + " characters)";
  return shown;
}

std::string HexBytes(std::span<const std::uint8_t> data) {
  std::string shown;
  for (std::size_t i = 0; i < data.size() && i < kShownBytes; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X", data[i]);
    if (!shown.empty()) shown += ' ';
    shown += byte;
  }
  if (data.size() > kShownBytes) shown += " ...";
  return shown.empty() ? "(empty)" : shown;
}

std::string Number(std::span<const std::uint8_t> data) {
  unsigned long long value = 0;
  for (std::size_t i = data.size(); i-- > 0;) value = value << 8 | data[i];
  char hex[24];
  std::snprintf(hex, sizeof hex, data.size() == 4 ? "0x%08llX" : "0x%016llX", value);
  return std::to_string(value) + " (" + hex + ")";
}

std::string StringData(std::span<const std::uint8_t> data) {
  const std::u16string units = Units(data);
  const std::size_t end = units.find(u'\0');
  std::string shown = Quoted(std::u16string_view(units).substr(0, end));
  if (end == std::u16string::npos) shown += " (no terminating NUL)";
  return shown;
}

// The strings of a list, each up to its NUL, up to the empty one that ends
// the list.
std::vector<std::u16string> ListStrings(std::span<const std::uint8_t> data) {
  const std::u16string units = Units(data);
  std::vector<std::u16string> strings;
  std::size_t start = 0;
  while (start < units.size()) {
    const std::size_t end = units.find(u'\0', start);
    if (end == start) break;
    strings.push_back(units.substr(start, end - start));
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  return strings;
}

}  // namespace

std::vector<std::string> MultiStringEntries(std::span<const std::uint8_t> data) {
  std::vector<std::string> entries;
  for (const std::u16string& text : ListStrings(data)) entries.push_back(rav::Utf16ToUtf8(text));
  return entries;
}

std::string FormatRegistryValue(std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
  std::string line = name.empty() ? "(default)" : Quoted(name);
  line += " " + TypeName(type) + " (" + std::to_string(data.size()) + " bytes) = ";
  if (type == kRegSz || type == kRegExpandSz) {
    line += StringData(data);
  } else if (type == kRegMultiSz) {
    std::string shown;
    for (const std::u16string& text : ListStrings(data)) shown += (shown.empty() ? "" : ", ") + Quoted(text);
    line += shown.empty() ? "(empty list)" : shown;
  } else if ((type == kRegDword && data.size() == 4) || (type == kRegQword && data.size() == 8)) {
    line += Number(data);
  } else {
    line += HexBytes(data);
  }
  return line;
}

}  // namespace tracer
