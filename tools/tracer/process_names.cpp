#include "tools/tracer/process_names.h"

#include <vector>

#include "tools/tracer/debug_loop.h"
#include "tools/tracer/trace_line.h"

namespace tracer {
namespace {

// Ended processes stay cached until this many entries are held.
constexpr std::size_t kTrimAbove = 256;

std::string ImageName(const std::wstring& path) { return std::string(BaseName(WideToUtf8(path))); }

}  // namespace

std::wstring ProcessImagePath(HANDLE process) {
  if (process == nullptr) return {};
  std::vector<wchar_t> path(32768);
  DWORD size = static_cast<DWORD>(path.size());
  // Unlike the module functions, this works across 32 and 64 bits.
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size)) return {};
  return std::wstring(path.data(), size);
}

void ProcessNames::Remember(DWORD processId, const std::wstring& imagePath) {
  if (imagePath.empty()) {
    entries_.erase(processId);  // looked up on its first line instead
    return;
  }
  entries_[processId] = Entry{ImageName(imagePath), rav::UniqueHandle()};
}

void ProcessNames::Forget(DWORD processId) { entries_.erase(processId); }

std::string ProcessNames::NameOf(DWORD processId) {
  const auto found = entries_.find(processId);
  if (found != entries_.end()) return found->second.name;
  rav::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
  if (!process) process.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  const std::wstring path = ProcessImagePath(process.get());
  if (path.empty()) return "?";
  Trim();
  std::string name = ImageName(path);
  entries_[processId] = Entry{name, std::move(process)};
  return name;
}

void ProcessNames::Trim() {
  if (entries_.size() < kTrimAbove) return;
  std::erase_if(entries_, [](const auto& entry) {
    const HANDLE process = entry.second.process.get();
    return process != nullptr && WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  });
}

}  // namespace tracer
