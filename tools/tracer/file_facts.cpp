#include "tools/tracer/file_facts.h"

#include <cstdio>

#include "common/win_resources.h"
#include "tools/tracer/native_file_view.h"

namespace tracer {
namespace {

constexpr std::size_t kLongestLine = 64 * 1024;

std::string VersionText(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
         "." + std::to_string(LOWORD(low));
}

// "version A" or "file version A, product version B"; empty without a
// version resource.
std::string VersionOf(const std::wstring& path) {
  std::vector<BYTE> info;
  {
    NativeFileView native;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    info.resize(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return {};
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
      length < sizeof *fixed) {
    return {};
  }
  const std::string file = VersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  const std::string product = VersionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  return file == product ? "version " + file : "file version " + file + ", product version " + product;
}

}  // namespace

std::string FormatUtcTime(const FILETIME& time) {
  SYSTEMTIME utc = {};
  if (!FileTimeToSystemTime(&time, &utc)) return "(no time)";
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u UTC", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                utc.wMinute, utc.wSecond);
  return text;
}

rav::Result<std::string> DescribeFile(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  {
    NativeFileView native;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return rav::Failure{GetLastError()};
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::string("a directory, not a file");
  const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  std::string version = VersionOf(path);
  if (version.empty()) version = "no version resource";
  return version + ", " + std::to_string(size) + " bytes, changed " + FormatUtcTime(data.ftLastWriteTime);
}

std::vector<std::wstring> InfFilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry = {};
  NativeFileView native;
  rav::UniqueFindHandle find(FindFirstFileW((folder + L"\\*.inf").c_str(), &entry));
  for (bool more = find.valid(); more; more = FindNextFileW(find.get(), &entry)) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(entry.cFileName);
  }
  return names;
}

rav::Result<void> ReadFileLines(const std::wstring& path, const std::function<void(std::string_view)>& line) {
  rav::UniqueHandle file;
  {
    NativeFileView native;
    file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  }
  if (!file) return rav::Failure{GetLastError()};
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return rav::Failure{ERROR_BAD_FILE_TYPE};
  std::string pending;
  bool cut = false;  // the rest of an over-long line is being skipped
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) {
      return rav::Failure{GetLastError()};
    }
    if (read == 0) break;
    std::string_view bytes(chunk.data(), read);
    while (!bytes.empty()) {
      const std::size_t end = bytes.find('\n');
      const std::string_view piece = bytes.substr(0, end);
      if (!cut) pending.append(piece.substr(0, kLongestLine - pending.size()));
      if (pending.size() >= kLongestLine) cut = true;
      if (end == std::string_view::npos) break;
      if (!pending.empty() && pending.back() == '\r') pending.pop_back();
      line(pending);
      pending.clear();
      cut = false;
      bytes.remove_prefix(end + 1);
    }
  }
  if (!pending.empty()) line(pending);
  return {};
}

}  // namespace tracer
