#include "tools/tracer/registry_dump.h"

#include <cstring>

#include "common/wide_text.h"
#include "common/win_resources.h"
#include "tools/tracer/core/registry_text.h"

namespace tracer {
namespace {

constexpr DWORD kMostValues = 256;
// Larger data is not read into the bundle: its line says how large it is.
constexpr DWORD kLargestData = 1024 * 1024;

rav::Result<rav::UniqueHkey> OpenForReading(HKEY root, const std::wstring& path, REGSAM view) {
  rav::UniqueHkey key;
  const LONG status = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put());
  if (status != ERROR_SUCCESS) return rav::Failure{static_cast<rav::WindowsError>(status)};
  return key;
}

}  // namespace

rav::Result<std::vector<std::string>> KeyValueLines(HKEY root, const std::wstring& path, REGSAM view) {
  rav::Result<rav::UniqueHkey> key = OpenForReading(root, path, view);
  if (!key) return rav::Failure{key.error()};
  std::vector<std::string> lines;
  int retries = 0;
  for (DWORD index = 0;; ++index) {
    // Sizes as the key has them now; a value that grows meanwhile is read
    // again with the new sizes (a few times at most).
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD largestData = 0;
    if (RegQueryInfoKeyW(key->get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longestName,
                         &largestData, nullptr, nullptr) != ERROR_SUCCESS ||
        index >= values) {
      break;
    }
    if (index == kMostValues) {
      lines.push_back("(" + std::to_string(values - index) + " more values left out)");
      break;
    }
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(largestData > kLargestData ? 0 : largestData);
    DWORD nameLength = longestName + 1;
    DWORD type = 0;
    DWORD dataSize = static_cast<DWORD>(data.size());
    const LONG status = RegEnumValueW(key->get(), index, name.data(), &nameLength, nullptr, &type,
                                      data.empty() ? nullptr : data.data(), &dataSize);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA && retries < 3) {
      ++retries;
      --index;  // changed meanwhile: this value once more
      continue;
    }
    retries = 0;
    if (status != ERROR_SUCCESS) {
      lines.push_back("(value " + std::to_string(index) + " cannot be read: error " + std::to_string(status) + ")");
      continue;
    }
    name.resize(nameLength);
    const std::u16string_view shownName(rav::as_u16cstr(name.c_str()), name.size());
    if (dataSize > data.size()) {  // larger than the bundle shows: not read
      lines.push_back(FormatRegistryValue(shownName, type, {}) + " (really " + std::to_string(dataSize) +
                      " bytes: too large to show)");
      continue;
    }
    lines.push_back(FormatRegistryValue(shownName, type, std::span<const std::uint8_t>(data.data(), dataSize)));
  }
  return lines;
}

rav::Result<RegistryData> ReadRegistryValue(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view) {
  rav::Result<rav::UniqueHkey> key = OpenForReading(root, path, view);
  if (!key) return rav::Failure{key.error()};
  RegistryData data;
  data.bytes.resize(1024);
  for (int attempt = 0;; ++attempt) {
    DWORD size = static_cast<DWORD>(data.bytes.size());
    const LONG status = RegQueryValueExW(key->get(), name, nullptr, &data.type, data.bytes.data(), &size);
    if (status == ERROR_MORE_DATA && size <= kLargestData && attempt < 3) {
      data.bytes.resize(size);
      continue;
    }
    if (status != ERROR_SUCCESS) return rav::Failure{static_cast<rav::WindowsError>(status)};
    data.bytes.resize(size);
    return data;
  }
}

rav::Result<std::wstring> ReadRegistryString(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view) {
  const rav::Result<RegistryData> data = ReadRegistryValue(root, path, name, view);
  if (!data) return rav::Failure{data.error()};
  if (data->type != REG_SZ && data->type != REG_EXPAND_SZ) return rav::Failure{ERROR_DATATYPE_MISMATCH};
  std::wstring text(data->bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data->bytes.data(), text.size() * sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));
}

std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path, REGSAM view) {
  std::vector<std::wstring> names;
  rav::Result<rav::UniqueHkey> key = OpenForReading(root, path, view);
  if (!key) return names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    const LONG status = RegEnumKeyExW(key->get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  return names;
}

}  // namespace tracer
